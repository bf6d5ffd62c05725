#pragma once

#include "resources/material.h"
#include "ui/control.h"

#include <array>
#include <string>

// A textured rectangle of a fixed pixel size; its position is its lower-left
// corner. Drawn even while invisible.
class Image : public Control {
public:
    // name: the file under "textures/".
    Image(ControlContainer* parent, float x, float y, float width, float height, const std::string& name);

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override;
    void detach() override;
    // Screen units by the window size.
    float getWidth() const override;
    float getHeight() const override;

    void setColor(float r, float g, float b, float a) { color = {r, g, b, a}; }
    // Pixels.
    void setSize(float newWidth, float newHeight);
    void getSize(float& outWidth, float& outHeight) const;
    const std::string& getPath() const { return path; }

private:
    Material material;
    std::string path;
    float width;
    float height;
    std::array<float, 4> color = {1.0f, 1.0f, 1.0f, 1.0f};
};

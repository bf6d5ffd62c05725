#pragma once

#include "scene/matrix4.h"
#include "scene/rendertarget.h"

#include <array>
#include <functional>

// The two pictures the water shows, drawn before the main pass from the main
// camera: what lies under the water (the refraction) and the world above it
// mirrored in the water plane (the reflection). Each goes into a render
// target of its own, stretched to its square with the window's aspect, so
// the water finds a point where the camera saw it by the same projection.
class WaterPasses {
public:
    using Draw = std::function<void()>;

    // Creates both targets; false when this platform cannot render offscreen
    // (the passes then draw nothing and the water goes without pictures).
    bool create(int size = RenderTarget::kSize);
    bool isAvailable() const { return refraction.isAvailable() && reflection.isAvailable(); }

    // Everything drawScene draws is cut off above the water plane.
    void renderRefraction(const std::array<float, 16>& viewMatrix, float aspect, const Draw& drawScene);
    // The world is mirrored in the water plane; drawWhole is drawn entirely,
    // drawAbove only where it lies above the water.
    void renderReflection(const std::array<float, 16>& viewMatrix, float aspect, const Draw& drawWhole,
                          const Draw& drawAbove);

    // The rectangle of the water plane {minX, minY, maxX, maxY} the water
    // samples the pictures from: the passes draw only where it shows in
    // them. Without one they draw the whole picture.
    void setSampledArea(const std::array<float, 4>& area) {
        sampledArea = area;
        hasSampledArea = true;
    }
    void clearSampledArea() { hasSampledArea = false; }
    // Whether the picture was last drawn for an area that holds the sampled
    // area now; one drawn for less shows a stale strip where the water
    // samples beyond it. A new picture holds nothing.
    bool refractionHoldsSampledArea() const { return holdsSampledArea(refractionDrawn); }
    bool reflectionHoldsSampledArea() const { return holdsSampledArea(reflectionDrawn); }

    RenderTarget& getRefraction() { return refraction; }
    RenderTarget& getReflection() { return reflection; }

    // Background of each picture where nothing was drawn: plain blue under
    // the water, plain red in the mirror, as a diagnostic that stands out.
    static constexpr std::array<float, 4> kRefractionClear = {0.0f, 0.0f, 1.0f, 0.0f};
    static constexpr std::array<float, 4> kReflectionClear = {1.0f, 0.0f, 0.0f, 0.0f};
    // The sky box covers those backgrounds. Without it they take the black
    // of the main pass's empty sky: the diagnostic red would fill the water.
    static constexpr std::array<float, 4> kSkylessClear = {0.0f, 0.0f, 0.0f, 0.0f};
    void setSkyDrawn(bool drawn) { skyDrawn = drawn; }

private:
    // The area a picture was last drawn for.
    struct Drawn {
        bool any = false;
        bool whole = false; // no area was set: the whole picture
        std::array<float, 4> area{};
    };
    bool holdsSampledArea(const Drawn& drawn) const;
    Drawn drawnNow() const { return {true, !hasSampledArea, sampledArea}; }

    // Target, lens and camera of a pass. The clear colour is left black
    // afterwards, as OpenGL starts and the frame clears: reading it back
    // would cost a round trip to the driver each pass.
    void beginPass(RenderTarget& target, const std::array<float, 16>& viewMatrix, float aspect,
                   const std::array<float, 4>& clear);
    void endPass(RenderTarget& target);
    // Scissors the pass to the sampled area seen through m, the pass's
    // projection * view.
    void limitToSampledArea(const Matrix4x4<double>& m, int size) const;

    RenderTarget refraction;
    RenderTarget reflection;
    std::array<float, 4> sampledArea{};
    bool hasSampledArea = false;
    Drawn refractionDrawn;
    Drawn reflectionDrawn;
    bool skyDrawn = true;
};

#pragma once

#include "core/system.h"
#include "graph/windowsize.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "support/assettest.h"
#include "support/glcontext.h"
#include "support/uiassets.h"
#include "ui/buttonsimple.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

// A cleared 1024 x 768 frame with the stand-in interface textures as the
// asset root.
class UiFrame : public ::testing::Test {
protected:
    UiFrame() {
        GlTest::ensureContext();
        // Both the drawing size and the size pointer input is measured in.
        System::instance()->reshape(GlTest::kWidth, GlTest::kHeight);
        UiAssets::writeAll(dir.path());
        clear();
    }
    ~UiFrame() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    static void clear() {
        Material::resetLastApplied();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The pixel under a point in screen units of the window's size.
    static UiAssets::Rgba pixelAt(float x, float y) {
        const int px = static_cast<int>((x + 1.0f) / 2.0f * WindowSize::getWidth());
        const int py = static_cast<int>((y + 1.0f) / 2.0f * WindowSize::getHeight());
        const std::vector<uint8_t> rgba = GlTest::readPixels(px, py, 1, 1);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }

    static bool near(UiAssets::Rgba a, UiAssets::Rgba b) {
        return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
    }

    static bool black(UiAssets::Rgba a) { return a.r == 0 && a.g == 0 && a.b == 0; }

    // Presses and releases the left button over the middle of button through
    // the input queue; advance hands the queued events out.
    template <typename Advance>
    static void clickOn(const ButtonSimple& button, Advance advance) {
        const float x = button.getAbsoluteX() + button.getWidth() / 2.0f;
        const float y = button.getAbsoluteY() + button.getHeight() / 2.0f;
        System* system = System::instance();
        const int px = static_cast<int>((x + 1.0f) / 2.0f * system->getWidth());
        const int py = static_cast<int>((1.0f - y) / 2.0f * system->getHeight());
        system->motion(px, py);
        system->keyDown(KeyMouseLeft);
        advance();
        system->motion(px, py);
        system->keyUp(KeyMouseLeft);
        advance();
    }

    TempAssets dir;
};

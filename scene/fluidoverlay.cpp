#include <GL/glew.h>

#include "scene/fluidoverlay.h"

#include "fluid/fluidsimulation.h"
#include "resources/material.h"
#include "scene/scenetexture.h"

#include <cmath>

namespace {

const char* const kSource = "FluidOverlay";
const char* const kFogTexture = "textures/table/fog1.png";

// The velocity channels hold v / 2 around no motion; a speed of 1 is fast.
constexpr float kChannelScale = 0.5f;
constexpr float kSlow = 0.5f;
constexpr float kFast = 1.0f;
constexpr float kLineScale = 30.0f;
// Lines and picture float just above the water.
constexpr float kHeight = 1.0f;
// The picture reaches a little beyond the board on every side.
constexpr float kLow = -2.0f;
constexpr float kHigh = 66.0f;

} // namespace

std::array<float, 4> FluidOverlay::cellColour(float g, float b) {
    const float s =
        std::sqrt((g / kChannelScale) * (g / kChannelScale) + (b / kChannelScale) * (b / kChannelScale));
    if (s < kSlow) {
        return {s / kSlow, 1.0f, 0.0f, 1.0f};
    }
    if (s < kFast) {
        return {1.0f, (kFast - s) / kSlow, 0.0f, 1.0f};
    }
    return {1.0f, 0.0f, 0.0f, 1.0f};
}

vec2 FluidOverlay::lineOffset(float g, float b) {
    const vec2 offset(g / kChannelScale * kLineScale, b / kChannelScale * kLineScale);
    const float length = std::sqrt(offset.x * offset.x + offset.y * offset.y);
    if (!std::isfinite(length)) {
        return vec2::zero;
    }
    // Only a line longer than the cap is shortened, so a zero length is never divided by.
    return length > kMaxLine ? offset * (kMaxLine / length) : offset;
}

void FluidOverlay::load() {
    fog = loadSceneTexture(kFogTexture, kSource);
}

void FluidOverlay::release() {
    fog.reset();
}

void FluidOverlay::drawLines(FluidSimulation& fluid) {
    const int gw = fluid.getWidth();
    const int gh = fluid.getHeight();
    state.resize(static_cast<size_t>(gw) * gh * 4, 1.0f);
    fluid.readState(state.data());
    lines.clear();
    for (int j = 0; j < gh; ++j) {
        for (int i = 0; i < gw; ++i) {
            const float* cell = &state[(static_cast<size_t>(j) * gw + i) * 4];
            const vec2 offset = lineOffset(cell[1], cell[2]);
            // A line of no length covers no pixel; still water has thousands.
            if (offset.x == 0.0f && offset.y == 0.0f) {
                continue;
            }
            const std::array<float, 4> colour = cellColour(cell[1], cell[2]);
            const float x = i + 0.5f;
            const float y = j + 0.5f;
            lines.push_back({{x, y, kHeight}, colour});
            lines.push_back({{x + offset.x, y + offset.y, kHeight}, colour});
        }
    }
    if (lines.empty()) {
        return;
    }
    // One call for thousands of lines instead of three for each.
    constexpr GLsizei kStride = sizeof(LineVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kStride, lines.front().position.data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, kStride, lines.front().colour.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    // A colour array leaves the current colour undefined; what follows finds
    // it as drawing the lines one by one left it.
    const std::array<float, 4>& last = lines.back().colour;
    glColor4f(last[0], last[1], last[2], last[3]);
}

void FluidOverlay::draw(FluidSimulation* fluid, bool skipBlack) {
    // A simulation that failed to build has no picture and no velocities to show.
    const bool simulated = fluid != nullptr && fluid->isAvailable();
    glDisable(GL_LIGHTING);
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    if (simulated) {
        drawLines(*fluid);
    }
    // Blended by its own colour, a black picture leaves the water as it is;
    // on a software renderer the quad over the board costs as much as the water.
    // Without a picture at all, an untextured quad would turn the board white.
    if (simulated ? !skipBlack || !fluid->isResultBlack() : fog != nullptr) {
        drawPicture(simulated ? fluid : nullptr);
    }
    glEnable(GL_DEPTH_TEST);
    // Blending and texturing changed behind the materials' back.
    Material::resetLastApplied();
}

void FluidOverlay::drawPicture(FluidSimulation* fluid) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDepthMask(GL_FALSE);
    GLenum target = GL_TEXTURE_2D;
    float high[2] = {1.0f, 1.0f};
    float low[2] = {0.0f, 0.0f};
    if (fluid != nullptr) {
        target = GL_TEXTURE_RECTANGLE;
        glEnable(target);
        fluid->bindResult();
        low[0] = low[1] = 1.0f;
        high[0] = static_cast<float>(fluid->getWidth() + 1);
        high[1] = static_cast<float>(fluid->getHeight() + 1);
    } else {
        glEnable(target);
        fog->bind();
    }
    glBegin(GL_QUADS);
    glTexCoord2f(low[0], low[1]);
    glVertex3f(kLow, kLow, kHeight);
    glTexCoord2f(high[0], low[1]);
    glVertex3f(kHigh, kLow, kHeight);
    glTexCoord2f(high[0], high[1]);
    glVertex3f(kHigh, kHigh, kHeight);
    glTexCoord2f(low[0], high[1]);
    glVertex3f(kLow, kHigh, kHeight);
    glEnd();
    glDepthMask(GL_TRUE);
    if (fluid != nullptr) {
        fluid->releaseResult();
    }
    glDisable(target);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
}

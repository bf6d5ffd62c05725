#include <GL/glew.h>

#include "scene/selectionmarkers.h"

#include "base/tools.h"
#include "scene/moveanimation.h"
#include "scene/scenetexture.h"

#include <cmath>

namespace {

constexpr double kFramesPerSecond = 20.0;
constexpr float kHalfSize = 5.0f;
constexpr float kHoverHeight = 3.0f;
constexpr float kSelectionHeight = 3.2f;
constexpr float kBobHeight = 2.0f;
constexpr float kTurnDegrees = 10.0f;
constexpr int kLayers = 4;
constexpr SelectionMarkers::Color kSelectionColor{0.0f, 0.0f, 1.0f};

void drawSquare(float z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-kHalfSize, -kHalfSize, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(kHalfSize, -kHalfSize, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(kHalfSize, kHalfSize, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-kHalfSize, kHalfSize, z);
    glEnd();
}

// Four squares bobbing at their own phases; the hover marker also turns
// each layer further than the one below.
void drawMarker(int i, int j, float height, SelectionMarkers::Color color, float time, bool turning) {
    const vec3 at = MoveAnimation::fieldPosition(i, j);
    glPushMatrix();
    glTranslatef(at.x, at.y, height);
    glColor4f(color.r, color.g, color.b, 1.0f);
    for (int k = 0; k < kLayers; ++k) {
        const float phase = static_cast<float>(k) + time;
        if (turning) {
            glRotatef(-phase * kTurnDegrees, 0.0f, 0.0f, 1.0f);
        }
        drawSquare(kBobHeight * std::sin(phase));
    }
    glPopMatrix();
}

} // namespace

SelectionMarkers::Color SelectionMarkers::hoverColor(bool clickable, bool isHighlighted) {
    if (!clickable) {
        return kRefused;
    }
    return isHighlighted ? kSelected : kAccepted;
}

int SelectionMarkers::frameAt(double time) {
    return static_cast<int>(std::fmod(std::floor(time * kFramesPerSecond), kFrames));
}

void SelectionMarkers::load() {
    frames.clear();
    for (int n = 0; n < kFrames; ++n) {
        const std::string file = "textures/table/selection000" + toString(n) + ".png";
        frames.push_back(loadSceneTexture(file, "WaterTable"));
    }
}

void SelectionMarkers::release() {
    frames.clear();
}

void SelectionMarkers::draw(double time, int hoverX, int hoverY, bool clickable, int highlightX,
                            int highlightY) const {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    const int frame = frameAt(time);
    if (frame >= 0 && frame < static_cast<int>(frames.size()) && frames[static_cast<size_t>(frame)]) {
        glEnable(GL_TEXTURE_2D);
        frames[static_cast<size_t>(frame)]->bind();
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    const float t = static_cast<float>(time);
    const bool hoverIsHighlight = hoverX == highlightX && hoverY == highlightY;
    if (hoverX >= 0) {
        drawMarker(hoverX, hoverY, kHoverHeight, hoverColor(clickable, hoverIsHighlight), t, true);
    }
    if (highlightX >= 0 && !hoverIsHighlight) {
        drawMarker(highlightX, highlightY, kSelectionHeight, kSelectionColor, t, false);
    }
    glPopAttrib();
}

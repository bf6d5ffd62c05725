#include <GL/glew.h>

#include "scene/selectionmarkers.h"

#include "base/tools.h"
#include "scene/fieldpicker.h"
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
// Pure blue would be all but black in greyscale.
constexpr SelectionMarkers::Color kSelectionColor{0.15f, 0.35f, 1.0f};
// Refused is shown dimmer than taken, so the two differ in greyscale too.
constexpr float kRefusedBrightness = 0.6f;
constexpr float kCrossHalf = 4.0f;
constexpr float kLineWidth = 0.7f;
constexpr float kSelectedFrameHalf = 5.5f;
// Where the pointer takes the marks for their fields (FieldPicker).
constexpr float kHintHeight = FieldPicker::kMarkHeight;
constexpr float kSplitHalf = 1.4f;
constexpr float kJumpHalf = FieldPicker::kMarkHalf;
// A diamond: the open squares already stand for jump fields.
constexpr float kWonHalf = 3.0f;
constexpr double kWonPulsesPerSecond = 1.5;
constexpr double kPi = 3.14159265358979;
// The brackets reach past a figure's body and sit low on it, so that the
// figure standing on a field hides little of them.
constexpr float kBracketHalf = 4.2f;
constexpr float kBracketLength = 2.4f;
constexpr float kBracketLine = 1.0f;
constexpr float kBracketHeight = 1.0f;
// The start field of the last move is marked at this share of the landing's brightness.
constexpr float kLastStartBrightness = 0.5f;
constexpr float kLastBarBrightness = 0.35f;
// The cursor's wedges, around the field's true middle: from the tip out to
// the base at the field's edge; low on the board. Drawn over everything, so
// that a figure never hides where the keys point.
constexpr float kWedgeTip = 1.7f;
constexpr float kWedgeBase = 3.5f;
constexpr float kWedgeHalfWidth = 1.5f;
constexpr float kWedgeHeight = 1.5f;
constexpr float kFieldUnits = 64.0f / MoveAnimation::kSize;
constexpr float kBreathe = 0.08f;
constexpr double kBreathsPerSecond = 1.2;
constexpr SelectionMarkers::Color kCursorColor{1.0f, 1.0f, 1.0f};
constexpr SelectionMarkers::Color kSplitColor{0.9f, 0.8f, 0.5f};
constexpr SelectionMarkers::Color kJumpColor{0.35f, 0.6f, 1.0f};
constexpr SelectionMarkers::Color kWonColor{1.0f, 0.45f, 0.1f};
constexpr SelectionMarkers::Color kLastMoveColor{1.0f, 0.85f, 0.3f};
// The tip's rings are round, unlike every other mark, and lie low around a
// figure's foot; the start's ring is the smaller.
constexpr float kTipRing = 4.6f;
constexpr float kTipStartRing = 3.4f;
constexpr float kTipWonRing = 2.2f;
constexpr float kTipLine = 0.8f;
constexpr float kTipHeight = 1.6f;
constexpr float kTipArrowHead = 2.2f;
constexpr int kRingSegments = 32;
constexpr double kTipPulsesPerSecond = 1.0;

void setColor(SelectionMarkers::Color color, float brightness = 1.0f) {
    glColor4f(color.r * brightness, color.g * brightness, color.b * brightness, 1.0f);
}

void drawRect(float x0, float y0, float x1, float y1, float z) {
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

// An open square of the given half size, its line inside that size.
void drawFrame(float half, float z) {
    const float inner = half - kLineWidth;
    drawRect(-half, -half, half, -inner, z);
    drawRect(-half, inner, half, half, z);
    drawRect(-half, -inner, -inner, inner, z);
    drawRect(inner, -inner, half, inner, z);
}

void drawCross(float z) {
    const float w = kLineWidth / 2.0f;
    for (const float degrees : {45.0f, 90.0f}) {
        glRotatef(degrees, 0.0f, 0.0f, 1.0f);
        drawRect(-kCrossHalf, -w, kCrossHalf, w, z);
    }
}

// Four wedges pointing at the middle, the radial distances times size.
void drawWedges(float size, float z) {
    for (int side = 0; side < 4; ++side) {
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_TRIANGLES);
        glVertex3f(kWedgeTip * size, 0.0f, z);
        glVertex3f(kWedgeBase * size, -kWedgeHalfWidth, z);
        glVertex3f(kWedgeBase * size, kWedgeHalfWidth, z);
        glEnd();
    }
}

void drawBrackets(float z) {
    for (int corner = 0; corner < 4; ++corner) {
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
        const float h = kBracketHalf;
        drawRect(h - kBracketLength, h - kBracketLine, h, h, z);
        drawRect(h - kBracketLine, h - kBracketLength, h, h - kBracketLine, z);
    }
}

// A flat ring of the given outer radius and line width around the origin.
void drawRing(float radius, float width, float z) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k <= kRingSegments; ++k) {
        const float angle = 2.0f * static_cast<float>(kPi) * static_cast<float>(k) / kRingSegments;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        glVertex3f(c * radius, s * radius, z);
        glVertex3f(c * (radius - width), s * (radius - width), z);
    }
    glEnd();
}

// Translates to the centre of field (i, j) at height z for the shapes above.
class AtField {
public:
    AtField(int i, int j) {
        const vec3 at = MoveAnimation::fieldPosition(i, j);
        glPushMatrix();
        glTranslatef(at.x, at.y, 0.0f);
    }
    ~AtField() { glPopMatrix(); }
    AtField(const AtField&) = delete;
    AtField& operator=(const AtField&) = delete;
};

// The state every marker is drawn in: lit by itself, added onto the scene
// without hiding what lies behind it.
class MarkerState {
public:
    MarkerState() {
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthMask(GL_FALSE);
    }
    ~MarkerState() { glPopAttrib(); }
    MarkerState(const MarkerState&) = delete;
    MarkerState& operator=(const MarkerState&) = delete;
};

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

SelectionMarkers::HoverShape SelectionMarkers::hoverShape(bool clickable, bool isHighlighted) {
    if (!clickable) {
        return HoverShape::Cross;
    }
    return isHighlighted ? HoverShape::FramedStack : HoverShape::Stack;
}

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
    const MarkerState state;
    const int frame = frameAt(time);
    if (frame >= 0 && frame < static_cast<int>(frames.size()) && frames[static_cast<size_t>(frame)]) {
        glEnable(GL_TEXTURE_2D);
        frames[static_cast<size_t>(frame)]->bind();
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    const float t = static_cast<float>(time);
    const bool hoverIsHighlight = hoverX == highlightX && hoverY == highlightY;
    if (highlightX >= 0 && !hoverIsHighlight) {
        drawMarker(highlightX, highlightY, kSelectionHeight, kSelectionColor, t, false);
    }
    if (hoverX < 0) {
        return;
    }
    const Color color = hoverColor(clickable, hoverIsHighlight);
    const HoverShape shape = hoverShape(clickable, hoverIsHighlight);
    if (shape != HoverShape::Cross) {
        drawMarker(hoverX, hoverY, kHoverHeight, color, t, true);
    }
    glDisable(GL_TEXTURE_2D);
    const AtField at(hoverX, hoverY);
    if (shape == HoverShape::Cross) {
        setColor(color, kRefusedBrightness);
        drawCross(kHoverHeight);
    } else if (shape == HoverShape::FramedStack) {
        setColor(color);
        drawFrame(kSelectedFrameHalf, kHoverHeight);
    }
}

void SelectionMarkers::drawHints(double time, const MoveHints::Fields& fields,
                                 const std::vector<GameBoard::Position>& won) const {
    const MarkerState state;
    for (int i = 0; i < MoveHints::kSize; ++i) {
        for (int j = 0; j < MoveHints::kSize; ++j) {
            const MoveHints::Kind kind = fields[static_cast<size_t>(i)][static_cast<size_t>(j)];
            if (kind == MoveHints::None) {
                continue;
            }
            const AtField at(i, j);
            if (kind == MoveHints::Split) {
                setColor(kSplitColor);
                drawRect(-kSplitHalf, -kSplitHalf, kSplitHalf, kSplitHalf, kHintHeight);
            } else {
                setColor(kJumpColor);
                drawFrame(kJumpHalf, kHintHeight);
            }
        }
    }
    const double pulse = 0.5 + 0.5 * std::sin(time * kWonPulsesPerSecond * 2.0 * kPi);
    setColor(kWonColor, static_cast<float>(0.3 + 0.7 * pulse));
    for (const GameBoard::Position& p : won) {
        const AtField at(p.x, p.y);
        glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
        drawFrame(kWonHalf, kHintHeight);
    }
}

void SelectionMarkers::drawLastMove(const Move& move) const {
    if (move.type != MoveJump && move.type != MoveSplit) {
        return;
    }
    const MarkerState state;
    const vec3 from = MoveAnimation::fieldPosition(move.fromX, move.fromY);
    const vec3 to = MoveAnimation::fieldPosition(move.toX, move.toY);
    {
        const AtField at(move.fromX, move.fromY);
        setColor(kLastMoveColor, kLastStartBrightness);
        drawBrackets(kBracketHeight);
    }
    {
        const AtField at(move.toX, move.toY);
        setColor(kLastMoveColor);
        drawBrackets(kBracketHeight);
    }
    // A bar from start to landing, along the line between the field centres.
    const vec3 way = to - from;
    const float length = std::sqrt(way.x * way.x + way.y * way.y);
    glPushMatrix();
    glTranslatef(from.x, from.y, 0.0f);
    glRotatef(std::atan2(way.y, way.x) * 180.0f / static_cast<float>(kPi), 0.0f, 0.0f, 1.0f);
    setColor(kLastMoveColor, kLastBarBrightness);
    const float w = kLineWidth / 2.0f;
    drawRect(kBracketHalf, -w, length - kBracketHalf, w, kBracketHeight);
    glPopMatrix();
}

void SelectionMarkers::drawCursor(double time, int x, int y, bool clickable, bool refused) const {
    const MarkerState state;
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glTranslatef((static_cast<float>(x) + 0.5f) * kFieldUnits, (static_cast<float>(y) + 0.5f) * kFieldUnits,
                 0.0f);
    const double breath = std::sin(time * kBreathsPerSecond * 2.0 * kPi);
    setColor(kCursorColor);
    drawWedges(1.0f + kBreathe * static_cast<float>(breath), kWedgeHeight);
    if (refused) {
        setColor(kRefused);
        drawCross(kWedgeHeight);
    } else if (!clickable) {
        setColor(kRefused, kRefusedBrightness);
        drawCross(kWedgeHeight);
    }
    glPopMatrix();
}

void SelectionMarkers::drawTip(double time, const Move& move,
                               const std::vector<GameBoard::Position>& won) const {
    if (move.type != MoveJump && move.type != MoveSplit) {
        return;
    }
    const MarkerState state;
    const double pulse = 0.5 + 0.5 * std::sin(time * kTipPulsesPerSecond * 2.0 * kPi);
    setColor(kTip, static_cast<float>(0.6 + 0.4 * pulse));
    {
        const AtField at(move.fromX, move.fromY);
        drawRing(kTipStartRing, kTipLine, kTipHeight);
    }
    {
        const AtField at(move.toX, move.toY);
        drawRing(kTipRing, kTipLine, kTipHeight);
    }
    // The arrow runs from ring to ring, its head touching the landing's ring.
    const vec3 from = MoveAnimation::fieldPosition(move.fromX, move.fromY);
    const vec3 to = MoveAnimation::fieldPosition(move.toX, move.toY);
    const vec3 way = to - from;
    const float length = std::sqrt(way.x * way.x + way.y * way.y);
    const float tip = length - kTipRing;
    const float w = kTipLine / 2.0f;
    glPushMatrix();
    glTranslatef(from.x, from.y, 0.0f);
    glRotatef(std::atan2(way.y, way.x) * 180.0f / static_cast<float>(kPi), 0.0f, 0.0f, 1.0f);
    drawRect(kTipStartRing, -w, tip - kTipArrowHead, w, kTipHeight);
    glBegin(GL_TRIANGLES);
    glVertex3f(tip, 0.0f, kTipHeight);
    glVertex3f(tip - kTipArrowHead, kTipArrowHead * 0.6f, kTipHeight);
    glVertex3f(tip - kTipArrowHead, -kTipArrowHead * 0.6f, kTipHeight);
    glEnd();
    glPopMatrix();
    for (const GameBoard::Position& p : won) {
        const AtField at(p.x, p.y);
        drawRing(kTipWonRing, kTipLine, kTipHeight);
    }
}

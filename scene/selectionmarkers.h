#pragma once

#include "game/move.h"
#include "resources/texture.h"
#include "scene/movehints.h"

#include <memory>
#include <vector>

// The animated markers on the board: one on the field under the mouse,
// coloured by whether a click there would be taken, a blue one on the
// selected figure, the fields it can reach with the figures a move there
// would win, and the last move. Each kind differs from the others in shape
// or brightness as well as in hue, for eyes that cannot tell red from green.
class SelectionMarkers {
public:
    struct Color {
        float r, g, b;
        friend bool operator==(Color x, Color y) { return x.r == y.r && x.g == y.g && x.b == y.b; }
    };
    static constexpr Color kRefused{1.0f, 0.0f, 0.0f};
    static constexpr Color kSelected{0.0f, 1.0f, 1.0f};
    static constexpr Color kAccepted{0.0f, 1.0f, 0.0f};
    static constexpr Color kTip{0.85f, 0.3f, 1.0f};
    static constexpr int kFrames = 10;

    // The hover marker's colour.
    static Color hoverColor(bool clickable, bool isHighlighted);
    // The hover marker's shape: a bright stack of squares where a click is
    // taken, framed on the selected figure, a dim cross where it is refused.
    enum class HoverShape { Stack, FramedStack, Cross };
    static HoverShape hoverShape(bool clickable, bool isHighlighted);
    // The texture frame at scene time seconds.
    static int frameAt(double time);

    // Missing frames are logged and the markers drawn without texture.
    void load();
    void release();
    // Fields are -1 for none; time is the scene time in seconds.
    void draw(double time, int hoverX, int hoverY, bool clickable, int highlightX, int highlightY) const;
    // Split fields as small solid squares, jump fields as open frames; the
    // figures in won pulse.
    void drawHints(double time, const MoveHints::Fields& fields,
                   const std::vector<GameBoard::Position>& won) const;
    // Corner brackets on the start and landing field of a split or jump,
    // brighter on the landing field, and a bar between them.
    void drawLastMove(const Move& move) const;
    // The keyboard's cursor: four white wedges pointing in from the middles
    // of the field's sides, breathing in and out; with a cross inside where
    // a press would be refused, bright for a while after one was.
    void drawCursor(double time, int x, int y, bool clickable, bool refused) const;
    // The coach's tip, a split or jump not played: rings on its start and
    // landing field joined by an arrow, and small rings on the figures it
    // would win, all in a violet no other mark uses; time makes them pulse.
    void drawTip(double time, const Move& move, const std::vector<GameBoard::Position>& won) const;

private:
    std::vector<std::unique_ptr<ImageTexture2D>> frames;
};

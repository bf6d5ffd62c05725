#pragma once

#include "input/eventconsumer.h"
#include "ui/controlcontainer.h"
#include "ui/controllistener.h"
#include "ui/gameview.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class ButtonSimple;
class Font;
class Text;

// The moves of the game on the table beside the board: numbered pairs, each
// move with the figures it won, the one the table shows highlighted. A click
// on a move shows the position after it; rows at either end scroll a long
// game. L shows and hides the list (hidden at first in windows narrower
// than 1024 pixels). In a replay a button below it plays on from the
// position shown.
class MoveList : public RenderNode, public EventConsumer, public ControlListener {
public:
    // A rectangle in screen units.
    struct Rect {
        float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
        bool contains(float x, float y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
    };
    // Where the list lies in a viewport, in screen units.
    struct Geometry {
        Rect panel;
        Rect button;
        // The top of the first row, the height of a row, how many fit.
        float firstRowTop = 0.0f;
        float rowHeight = 0.0f;
        int capacity = 0;
        // Left edges of the number and the two moves of a row, and a move's width.
        std::array<float, 3> columns{};
        float moveWidth = 0.0f;
        float pixelX = 0.0f;
        float pixelY = 0.0f;
    };
    // What the rows hold: a row of earlier moves to scroll to, the pairs
    // from firstPair, a row of later ones.
    struct Rows {
        bool earlier = false;
        bool later = false;
        int firstPair = 0;
        int pairs = 0;
    };
    // What a point of the panel is over.
    struct Hit {
        enum Kind { Nothing, Earlier, Later, Move } kind = Nothing;
        int move = -1; // 0-based
    };

    static constexpr int kMaxRows = 64;
    // Pixel sizes at the 1024 x 768 layout.
    static constexpr float kPanelWidth = 224.0f;

    // view: not owned, outlives the list.
    explicit MoveList(GameView& view);
    ~MoveList() override;

    static Geometry geometry(int viewportWidth, int viewportHeight, float scale, bool button);
    // The rows for pairs of moves starting at firstPair (held to what can
    // be shown) in capacity rows.
    static Rows rows(int firstPair, int pairs, int capacity);
    // The first pair that keeps pair in view, moving as little as it can.
    static int follow(int firstPair, int pair, int pairs, int capacity);
    static Hit hit(const Geometry& g, const Rows& r, int moves, float x, float y);
    // "12." and "c3d4+2".
    static std::string pairNumber(int pair);
    static std::string moveCaption(const GameView::Entry& entry);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override {}
    void detach() override {}
    void handleEvent(InputEvent& e) override;
    void onClick(Control* source) override;

    // The list or its button lies under the pointer at (x, y), fractions of
    // the window from the top left.
    bool covers(float x, float y) const;
    bool isShown() const { return shown; }
    ButtonSimple* getPlayButton() const { return playButton.get(); }

private:
    void drawBackground(const Geometry& g, const Rows& r, int current) const;
    void placeTexts(const Geometry& g, const Rows& r, int current);

    GameView& view;
    ControlContainer container;
    std::unique_ptr<Font> font;
    std::unique_ptr<Text> title;
    // Number, first and second move of each row.
    std::array<std::array<std::unique_ptr<Text>, 3>, kMaxRows> cells;
    std::unique_ptr<ButtonSimple> playButton;
    // The player's choice with L; none: by the window's width.
    std::optional<bool> chosen;
    bool wanted = false;
    bool shown = false;
    bool buttonShown = false;
    int firstPair = 0;
    int followed = -1;
    float pointerX = -2.0f;
    float pointerY = -2.0f;
    Geometry last;
    Rows lastRows;
};

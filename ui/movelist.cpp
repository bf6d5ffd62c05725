#include "ui/movelist.h"

#include "input/inputevent.h"
#include "resources/material.h"
#include "ui/buttonsimple.h"
#include "ui/font.h"
#include "ui/menumain.h"
#include "ui/text.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* const kFontName = "fontsmall";
const char* const kTitle = "Moves";
const char* const kEarlier = "(earlier moves)";
const char* const kLater = "(later moves)";
const char* const kPlayFromHere = "Play from here";
// Below this width the list starts hidden: it would cover the board.
constexpr int kShownFromWidth = 1024;
// Pixels at the 1024 x 768 layout: clear of the frame rate above and the
// counts below.
constexpr float kRightMargin = 10.0f;
constexpr float kTopMargin = 66.0f;
constexpr float kBottomMargin = 58.0f;
constexpr float kGap = 8.0f;
constexpr float kPadding = 10.0f;
constexpr float kRowHeight = 28.0f;
// The list keeps to the upper part of the window: on a 4 : 3 screen the
// board's near corner lies below it.
constexpr float kMaxHeightShare = 0.6f;
// Characters of a row: "123. " then two moves "c3d4+2" a space apart.
constexpr int kNumberChars = 5;
constexpr int kMoveChars = 6;
constexpr int kMoveGap = 1;
constexpr std::array<float, 4> kBackground = {0.0f, 0.0f, 0.0f, 0.55f};
constexpr std::array<float, 4> kCurrentBackground = {1.0f, 0.8f, 0.2f, 0.3f};
constexpr std::array<float, 4> kHoverBackground = {1.0f, 1.0f, 1.0f, 0.15f};
constexpr std::array<float, 4> kCurrentText = {1.0f, 0.85f, 0.3f, 1.0f};
constexpr std::array<float, 4> kText = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr std::array<float, 4> kDimText = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr int kLowerL = 'l';
constexpr int kUpperL = 'L';

void fill(const MoveList::Rect& r, const std::array<float, 4>& colour) {
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glBegin(GL_QUADS);
    Control::quad(r.x0, r.y0, r.x1, r.y1, 0.0f, 0.0f, 0.0f, 0.0f);
    glEnd();
}

} // namespace

MoveList::MoveList(GameView& view)
    : view(view), container(nullptr, 0.0f, 0.0f, MenuMain::kContainerSize, MenuMain::kContainerSize) {
    container.setLayoutSize(MenuMain::kLayoutWidth, MenuMain::kLayoutHeight);
    font = std::make_unique<Font>(kFontName, Font::kSmall);
    title = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), kTitle);
    for (auto& row : cells) {
        for (auto& cell : row) {
            cell = std::make_unique<Text>(&container, 0.0f, 0.0f, font.get(), "");
            cell->setVisible(false);
        }
    }
    playButton = MenuMain::makeButton(container, font.get(), this, kPlayFromHere, kPanelWidth);
    playButton->setVisible(false);
}

MoveList::~MoveList() {
    // The controls leave the container, which is destroyed after them.
    playButton.reset();
    for (auto& row : cells) {
        for (auto& cell : row) {
            cell.reset();
        }
    }
    title.reset();
    font.reset();
}

MoveList::Geometry MoveList::geometry(int viewportWidth, int viewportHeight, float scale, bool button) {
    Geometry g;
    g.pixelX = 2.0f * scale / static_cast<float>(std::max(viewportWidth, 1));
    g.pixelY = 2.0f * scale / static_cast<float>(std::max(viewportHeight, 1));
    const float x1 = 1.0f - kRightMargin * g.pixelX;
    const float x0 = x1 - kPanelWidth * g.pixelX;
    float bottom = -1.0f + kBottomMargin * g.pixelY;
    if (button) {
        g.button = {x0, bottom, x1, bottom + ButtonSimple::kHeight * g.pixelY};
        bottom = g.button.y1 + kGap * g.pixelY;
    }
    const float top = 1.0f - kTopMargin * g.pixelY;
    bottom = std::max(bottom, 1.0f - 2.0f * kMaxHeightShare);
    g.rowHeight = kRowHeight * g.pixelY;
    // The title takes the first row.
    g.firstRowTop = top - kPadding * g.pixelY - g.rowHeight;
    const float room = g.firstRowTop - bottom - kPadding * g.pixelY;
    g.capacity = std::clamp(static_cast<int>(std::floor(room / g.rowHeight)), 0, kMaxRows);
    g.panel = {x0, std::min(bottom, top), x1, top};
    const float cell = Font::Metrics::ofType(Font::kSmall).cellWidth * g.pixelX;
    const float left = x0 + kPadding * g.pixelX;
    g.columns = {left, left + kNumberChars * cell, left + (kNumberChars + kMoveChars + kMoveGap) * cell};
    g.moveWidth = kMoveChars * cell;
    return g;
}

MoveList::Rows MoveList::rows(int first, int pairs, int capacity) {
    Rows r;
    if (pairs <= capacity) {
        r.pairs = pairs;
        return r;
    }
    // At the end, the row of earlier moves and capacity - 1 pairs.
    r.firstPair = std::clamp(first, 0, pairs - (capacity - 1));
    r.earlier = r.firstPair > 0;
    const int room = capacity - (r.earlier ? 1 : 0);
    r.later = r.firstPair + room < pairs;
    r.pairs = std::max(room - (r.later ? 1 : 0), 0);
    return r;
}

int MoveList::follow(int first, int pair, int pairs, int capacity) {
    const Rows now = rows(first, pairs, capacity);
    if (pair >= now.firstPair && pair < now.firstPair + now.pairs) {
        return now.firstPair;
    }
    if (pair < now.firstPair) {
        return pair;
    }
    // The pair becomes the last shown, below the row of earlier moves and
    // above the row of later ones if any follow.
    const int shownPairs = capacity - 1 - (pair + 1 < pairs ? 1 : 0);
    return std::max(pair - shownPairs + 1, 0);
}

MoveList::Hit MoveList::hit(const Geometry& g, const Rows& r, int moves, float x, float y) {
    Hit h;
    if (!g.panel.contains(x, y) || y > g.firstRowTop) {
        return h;
    }
    const int row = static_cast<int>(std::floor((g.firstRowTop - y) / g.rowHeight));
    const int lastRow = (r.earlier ? 1 : 0) + r.pairs;
    if (r.earlier && row == 0) {
        h.kind = Hit::Earlier;
    } else if (r.later && row == lastRow) {
        h.kind = Hit::Later;
    } else if (row >= (r.earlier ? 1 : 0) && row < lastRow) {
        const int pair = r.firstPair + row - (r.earlier ? 1 : 0);
        for (int side = 0; side < 2; ++side) {
            const float left = g.columns[static_cast<size_t>(side + 1)];
            const int move = pair * 2 + side;
            if (x >= left && x <= left + g.moveWidth && move < moves) {
                h.kind = Hit::Move;
                h.move = move;
            }
        }
    }
    return h;
}

std::string MoveList::pairNumber(int pair) {
    return std::to_string(pair + 1) + ".";
}

std::string MoveList::moveCaption(const GameView::Entry& entry) {
    return entry.move + "+" + std::to_string(entry.won);
}

void MoveList::render(double, float) {
    int width = 0;
    int height = 0;
    Control::viewportSize(*this, width, height);
    wanted = chosen.value_or(width >= kShownFromWidth);
    shown = wanted && view.showsGame();
    buttonShown = view.canPlayFromHere();
    last = geometry(width, height, container.scaleFor(width, height), buttonShown);
    const std::vector<GameView::Entry>& entries = view.getMoveEntries();
    const int moves = static_cast<int>(entries.size());
    const int pairs = (moves + 1) / 2;
    const int current = view.getShownMoves() - 1;
    // The move shown stays in view until the player scrolls away from it.
    if (current != followed) {
        followed = current;
        firstPair = follow(firstPair, std::max(current, 0) / 2, pairs, last.capacity);
    }
    lastRows = rows(firstPair, pairs, last.capacity);
    firstPair = lastRows.firstPair;
    // The panel ends below its last row.
    const int used = lastRows.pairs + (lastRows.earlier ? 1 : 0) + (lastRows.later ? 1 : 0);
    last.panel.y0 = std::max(last.panel.y0, last.firstRowTop - static_cast<float>(used) * last.rowHeight -
                                                kPadding * last.pixelY);
    playButton->setVisible(buttonShown);
    playButton->setPosition(last.button.x0, last.button.y0);
    if (shown) {
        drawBackground(last, lastRows, current);
    }
    placeTexts(last, lastRows, current);
}

void MoveList::drawBackground(const Geometry& g, const Rows& r, int current) const {
    Control::setFixedProjection();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fill(g.panel, kBackground);
    const Hit hover = hit(g, r, static_cast<int>(view.getMoveEntries().size()), pointerX, pointerY);
    for (int i = 0; i < r.pairs; ++i) {
        const float top = g.firstRowTop - static_cast<float>(i + (r.earlier ? 1 : 0)) * g.rowHeight;
        for (int side = 0; side < 2; ++side) {
            const int move = (r.firstPair + i) * 2 + side;
            const float left = g.columns[static_cast<size_t>(side + 1)];
            const Rect cell{left - g.pixelX * 2.0f, top - g.rowHeight, left + g.moveWidth, top};
            if (move == current) {
                fill(cell, kCurrentBackground);
            } else if (hover.kind == Hit::Move && hover.move == move) {
                fill(cell, kHoverBackground);
            }
        }
    }
    // The texts and buttons drawn next apply their materials afresh.
    Material::resetLastApplied();
}

void MoveList::placeTexts(const Geometry& g, const Rows& r, int current) {
    const std::vector<GameView::Entry>& entries = view.getMoveEntries();
    const float cellHeight = Font::Metrics::ofType(Font::kSmall).cellHeight * g.pixelY;
    // A text is drawn from its lower edge: its cell is centred on the row.
    const auto baseline = [&](int row) {
        return g.firstRowTop - (static_cast<float>(row) + 0.5f) * g.rowHeight - cellHeight / 2.0f;
    };
    title->setVisible(shown);
    title->set(g.columns[0], baseline(-1), kTitle);
    int row = 0;
    const auto put = [&](Text& text, float x, const std::string& caption,
                         const std::array<float, 4>& colour) {
        text.set(x, baseline(row), caption);
        text.setColor(colour[0], colour[1], colour[2], colour[3]);
        text.setVisible(shown);
    };
    for (auto& cellRow : cells) {
        for (auto& cell : cellRow) {
            cell->setVisible(false);
        }
    }
    const auto cellsOf = [&](int index) -> std::array<std::unique_ptr<Text>, 3>& {
        return cells[static_cast<size_t>(index)];
    };
    if (r.earlier) {
        put(*cellsOf(row)[0], g.columns[0], kEarlier, kDimText);
        ++row;
    }
    for (int i = 0; i < r.pairs; ++i, ++row) {
        const int pair = r.firstPair + i;
        put(*cellsOf(row)[0], g.columns[0], pairNumber(pair), kDimText);
        for (int side = 0; side < 2; ++side) {
            const int move = pair * 2 + side;
            if (move < static_cast<int>(entries.size())) {
                put(*cellsOf(row)[static_cast<size_t>(side + 1)], g.columns[static_cast<size_t>(side + 1)],
                    moveCaption(entries[static_cast<size_t>(move)]), move == current ? kCurrentText : kText);
            }
        }
    }
    if (r.later) {
        put(*cellsOf(row)[0], g.columns[0], kLater, kDimText);
    }
}

void MoveList::linkChildren() {
    linkChild(&container);
}

bool MoveList::covers(float x, float y) const {
    const float screenX = 2.0f * x - 1.0f;
    const float screenY = 1.0f - 2.0f * y;
    return (shown && last.panel.contains(screenX, screenY)) ||
           (buttonShown && last.button.contains(screenX, screenY));
}

void MoveList::handleEvent(InputEvent& e) {
    if (const auto* motion = dynamic_cast<const InputEventMotion*>(&e)) {
        double x = 0.0;
        double y = 0.0;
        motion->getPosition(x, y);
        pointerX = motion->hasLeftWindow() ? -2.0f : static_cast<float>(2.0 * x - 1.0);
        pointerY = motion->hasLeftWindow() ? -2.0f : static_cast<float>(1.0 - 2.0 * y);
        return;
    }
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (key == nullptr) {
        return;
    }
    if (key->getKey() == kLowerL || key->getKey() == kUpperL) {
        e.consume();
        if (dynamic_cast<const InputEventKeyUp*>(&e) != nullptr) {
            chosen = !wanted;
        }
        return;
    }
    if (key->getKey() != KeyMouseLeft || !shown || !last.panel.contains(pointerX, pointerY)) {
        return;
    }
    // Clicks on the list are its own, the release makes the choice.
    e.consume();
    if (dynamic_cast<const InputEventKeyUp*>(&e) == nullptr) {
        return;
    }
    const int moves = static_cast<int>(view.getMoveEntries().size());
    const Hit h = hit(last, lastRows, moves, pointerX, pointerY);
    const int page = std::max(last.capacity - 2, 1);
    if (h.kind == Hit::Earlier) {
        firstPair = std::max(lastRows.firstPair - page, 0);
    } else if (h.kind == Hit::Later) {
        firstPair = lastRows.firstPair + page;
    } else if (h.kind == Hit::Move) {
        view.showMoves(h.move + 1);
    }
}

void MoveList::onClick(Control* source) {
    if (source == playButton.get()) {
        view.playFromHere();
    }
}

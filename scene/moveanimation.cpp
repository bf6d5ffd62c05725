#include "scene/moveanimation.h"

#include <algorithm>

namespace {

constexpr float kBoardUnits = 64.0f;
constexpr float kFieldUnits = kBoardUnits / MoveAnimation::kSize;
// Figures stand this far in from their field's lower corner.
constexpr float kFigureInset = 3.0f;

} // namespace

vec3 MoveAnimation::fieldPosition(int i, int j) {
    return {static_cast<float>(i) * kFieldUnits + kFigureInset,
            static_cast<float>(j) * kFieldUnits + kFigureInset, 0.0f};
}

void MoveAnimation::reset() {
    shownFields = {};
    animType = 0;
    animDuration = 0.0;
    animElapsed = 0.0;
    animOwner = 0;
    highlightX = -1;
    highlightY = -1;
    lastMove = Move();
}

void MoveAnimation::showBoard(const GameBoard& board, const Move& shownLast) {
    for (int i = 0; i < kSize; ++i) {
        for (int j = 0; j < kSize; ++j) {
            setShown(i, j, board.getField(i, j));
        }
    }
    animType = 0;
    animDuration = 0.0;
    animElapsed = 0.0;
    highlightX = board.getSelectedX();
    highlightY = board.getSelectedY();
    lastMove = shownLast;
}

int32_t MoveAnimation::getShown(int i, int j) const {
    if (i < 0 || j < 0 || i >= kSize || j >= kSize) {
        return 0;
    }
    return shownFields[static_cast<size_t>(i)][static_cast<size_t>(j)];
}

void MoveAnimation::setShown(int i, int j, int32_t value) {
    if (i < 0 || j < 0 || i >= kSize || j >= kSize) {
        return;
    }
    shownFields[static_cast<size_t>(i)][static_cast<size_t>(j)] = value;
}

int MoveAnimation::countShownFigures(int player) const {
    int count = 0;
    for (const auto& column : shownFields) {
        for (int32_t value : column) {
            count += value == player ? 1 : 0;
        }
    }
    return count;
}

float MoveAnimation::getProgress() const {
    if (animDuration <= 0.0) {
        return 1.0f;
    }
    return static_cast<float>(std::min(animElapsed / animDuration, 1.0));
}

void MoveAnimation::removeHighlightAt(int i, int j) {
    if (highlightX == i && highlightY == j) {
        highlightX = -1;
        highlightY = -1;
    }
}

void MoveAnimation::update(GameBoard& board, double dt, Listener& listener) {
    if (animElapsed < animDuration) {
        animElapsed += dt;
        return;
    }
    finish(listener);
    if (board.hasPendingMoves()) {
        const Move m = board.frontMove();
        // May pass the turn and queue the computer's answer at once.
        board.popMove();
        start(m, listener);
    }
    board.setFigureCount(GameBoard::kPlayer1, countShownFigures(GameBoard::kPlayer1));
    board.setFigureCount(GameBoard::kPlayer2, countShownFigures(GameBoard::kPlayer2));
}

void MoveAnimation::finish(Listener& listener) {
    // An owner other than 1 or 2 (a conversion of a field shown empty) is
    // never written: the shown board holds only 0, 1 and 2.
    const int32_t landed = isOwner(animOwner) ? animOwner : 0;
    switch (animType) {
    case MoveJump:
        setShown(animMove.fromX, animMove.fromY, 0);
        setShown(animMove.toX, animMove.toY, landed);
        listener.splash(animEnd, animOwner);
        listener.dropWater(animMove.toX, animMove.toY);
        break;
    case MoveSplit:
    case MoveConvert:
        setShown(animMove.toX, animMove.toY, landed);
        break;
    default:
        break;
    }
    animType = 0;
}

void MoveAnimation::start(const Move& m, Listener& listener) {
    animMove = m;
    animType = m.type;
    animElapsed = 0.0;
    animDuration = kJumpSeconds;
    animStart = fieldPosition(m.fromX, m.fromY);
    animEnd = fieldPosition(m.toX, m.toY);
    animOwner = getShown(m.fromX, m.fromY);
    if (m.type == MoveConvert) {
        animOwner = GameBoard::kPlayer1 + GameBoard::kPlayer2 - animOwner;
    }
    switch (m.type) {
    case MoveJump:
        setShown(m.fromX, m.fromY, 0);
        listener.splash(animStart, animOwner);
        listener.dropWater(m.fromX, m.fromY);
        listener.playMoveSound();
        removeHighlightAt(m.fromX, m.fromY);
        lastMove = m;
        break;
    case MoveSplit:
        animDuration = kSplitSeconds;
        listener.dropWater(m.fromX, m.fromY);
        listener.playMoveSound();
        removeHighlightAt(m.fromX, m.fromY);
        lastMove = m;
        break;
    case MoveConvert:
        animDuration = kConvertSeconds;
        setShown(m.fromX, m.fromY, 0);
        listener.splash(animStart, animOwner);
        listener.dropWater(m.fromX, m.fromY);
        listener.playMoveSound();
        break;
    case MoveSelect:
        animDuration = 0.0;
        highlightX = m.fromX;
        highlightY = m.fromY;
        lastMove = Move();
        listener.playSelectSound();
        break;
    case MoveDeselect:
        animDuration = 0.0;
        highlightX = -1;
        highlightY = -1;
        listener.playSelectSound();
        break;
    case MoveClear:
        animDuration = 0.0;
        shownFields = {};
        lastMove = Move();
        highlightX = -1;
        highlightY = -1;
        break;
    case MoveCreate:
        animDuration = 0.0;
        setShown(m.fromX, m.fromY, isOwner(m.toX) ? m.toX : 0);
        break;
    default:
        // An unknown record is shown as nothing and takes no time.
        animDuration = 0.0;
        break;
    }
}

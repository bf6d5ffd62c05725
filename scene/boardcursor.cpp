#include "scene/boardcursor.h"

#include "input/inputevent.h"
#include "scene/camera.h"

#include <algorithm>
#include <cmath>

void BoardCursor::hide() {
    shown = false;
    waiting.clear();
}

int BoardCursor::keyboardPlayer(const GameBoard& board) {
    const int current = board.getCurrentPlayer();
    if (board.isHuman(current)) {
        return current;
    }
    const bool human1 = board.isHuman(GameBoard::kPlayer1);
    const bool human2 = board.isHuman(GameBoard::kPlayer2);
    if (human1 != human2) {
        return human1 ? GameBoard::kPlayer1 : GameBoard::kPlayer2;
    }
    return 0;
}

bool BoardCursor::canMove(const GameBoard& board, int player, int fx, int fy) {
    if (player == 0 || board.getField(fx, fy) != player) {
        return false;
    }
    for (int ty = fy - GameBoard::kJumpDistance; ty <= fy + GameBoard::kJumpDistance; ++ty) {
        for (int tx = fx - GameBoard::kJumpDistance; tx <= fx + GameBoard::kJumpDistance; ++tx) {
            if (board.isOnBoard(tx, ty) && board.getField(tx, ty) == GameBoard::kEmpty) {
                return true;
            }
        }
    }
    return false;
}

bool BoardCursor::nextFigure(const GameBoard& board, int player, int direction) {
    const int fields = kSize * kSize;
    const int from = y * kSize + x;
    for (int k = 1; k <= fields; ++k) {
        const int index = ((from + direction * k) % fields + fields) % fields;
        if (canMove(board, player, index % kSize, index / kSize)) {
            x = index % kSize;
            y = index / kSize;
            shown = true;
            return true;
        }
    }
    return false;
}

bool BoardCursor::boardStep(const Camera& camera, int key, int& dx, int& dy) {
    float screenX = 0.0f;
    float screenY = 0.0f;
    switch (key) {
    case KeyArrowRight:
        screenX = 1.0f;
        break;
    case KeyArrowLeft:
        screenX = -1.0f;
        break;
    case KeyArrowUp:
        screenY = 1.0f;
        break;
    case KeyArrowDown:
        screenY = -1.0f;
        break;
    default:
        return false;
    }
    // On the board, the screen's right is the camera's side axis turned
    // round; its up is where camera-up and forward lean, whichever way
    // steep or flat the camera looks.
    const mat3& frame = camera.getOrientation();
    const vec3 right = frame.column(0) * -1.0f;
    const vec3 away = frame.column(1) + frame.column(2);
    const float worldX = screenX * right.x + screenY * away.x;
    const float worldY = screenX * right.y + screenY * away.y;
    dx = 0;
    dy = 0;
    if (std::fabs(worldX) >= std::fabs(worldY)) {
        dx = worldX >= 0.0f ? 1 : -1;
    } else {
        dy = worldY >= 0.0f ? 1 : -1;
    }
    return true;
}

void BoardCursor::step(int dx, int dy) {
    x = std::clamp(x + dx, 0, kSize - 1);
    y = std::clamp(y + dy, 0, kSize - 1);
    held = 0.0;
}

void BoardCursor::hold(int dx, int dy, double dt) {
    const double before = held;
    held += dt;
    // The repeats whose moments this stretch of holding passed.
    const auto repeats = [](double t) {
        return t < kRepeatDelay ? 0 : 1 + static_cast<int>((t - kRepeatDelay) / kRepeatInterval);
    };
    for (int n = repeats(before); n < repeats(held); ++n) {
        x = std::clamp(x + dx, 0, kSize - 1);
        y = std::clamp(y + dy, 0, kSize - 1);
    }
}

void BoardCursor::waitForBoard() {
    if (waiting.size() < kMaxWaiting) {
        waiting.push_back({x, y});
    }
}

GameBoard::Position BoardCursor::takeWaiting() {
    const GameBoard::Position p = waiting.front();
    waiting.pop_front();
    return p;
}

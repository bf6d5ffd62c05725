#include "ui/sporrikhud.h"

#include "game/gameboard.h"
#include "ui/control.h"
#include "ui/controlcontainer.h"
#include "ui/font.h"
#include "ui/gameview.h"
#include "ui/movelist.h"
#include "ui/networkhost.h"
#include "ui/text.h"

#include <algorithm>

namespace {
constexpr float kContainerSize = 2.0f;
constexpr float kFpsStartX = 0.75f;
constexpr float kFpsY = 0.85f;
// The top line's lower edge lies this many pixels below the window's top
// (0.85 of the way up at 1024 x 768).
constexpr float kTopLineDrop = 57.6f;
// The coach's line lies this many pixels below the turn's.
constexpr float kCoachLineOffset = 32.0f;
constexpr float kPlayerStartX = 0.1f;
// Pixel offsets are doubled into screen units by dividing by the width.
constexpr float kFpsRightOffset = 200.0f;     // 100 pixels left of the right edge
constexpr float kPlayer1Offset = 40.0f;       // 20 pixels right of the left edge
constexpr float kPlayer2RightOffset = 740.0f; // 370 pixels left of the right edge
// The result is centred as if each character were this wide; twice the pixels.
constexpr float kResultCharWidth = 34.0f;
constexpr float kBottomEdge = -1.0f;
constexpr double kSecond = 1.0;
// The widest count, "Player 1: 81", in big-font cells, and the pixels kept
// between the two counts.
constexpr float kCountCells = 12.0f;
constexpr float kCountGap = 20.0f;
// The network game's notice lies this many pixels below the turn's line.
constexpr float kNoticeDrop = 120.0f;
} // namespace

void SporrikHud::FrameCounter::count(double frameTime) {
    elapsed += frameTime;
    ++frameCount;
    if (elapsed >= kSecond) {
        framesPerSecond = frameCount;
        elapsed -= kSecond;
        frameCount = 0;
    }
}

SporrikHud::SporrikHud(GameBoard* board, GameView* view, NetworkHost* network)
    : board(board), view(view), network(network) {
    container = std::make_unique<ControlContainer>(nullptr, 0.0f, 0.0f, kContainerSize, kContainerSize);
    smallFont = std::make_unique<Font>("fontsmall", Font::kSmall);
    bigFont = std::make_unique<Font>("fontbig", Font::kBig);
    fpsText = std::make_unique<Text>(container.get(), kFpsStartX, kFpsY, smallFont.get(), "FPS");
    resultText = std::make_unique<Text>(container.get(), 0.0f, 0.0f, bigFont.get(), "Finished");
    resultText->setText("");
    turnText = std::make_unique<Text>(container.get(), kPlayerStartX, kFpsY, smallFont.get(), "");
    for (auto& text : playerTexts) {
        text = std::make_unique<Text>(container.get(), kPlayerStartX, 0.0f, bigFont.get(), "");
    }
    for (auto& text : coachTexts) {
        text = std::make_unique<Text>(container.get(), kPlayerStartX, kFpsY, smallFont.get(), "");
    }
    noticeText = std::make_unique<Text>(container.get(), 0.0f, kFpsY, smallFont.get(), "");
    if (view != nullptr) {
        moveList = std::make_unique<MoveList>(*view);
    }
}

SporrikHud::~SporrikHud() {
    moveList.reset();
    noticeText.reset();
    for (auto& text : coachTexts) {
        text.reset();
    }
    turnText.reset();
    resultText.reset();
    fpsText.reset();
    for (auto& text : playerTexts) {
        text.reset();
    }
    bigFont.reset();
    smallFont.reset();
    container.reset();
}

std::string SporrikHud::turnCaption(const GameBoard& board, int winner) {
    const int current = board.getCurrentPlayer();
    if (winner != 0 || (current != GameBoard::kPlayer1 && current != GameBoard::kPlayer2)) {
        return "";
    }
    const std::string player = "Player " + std::to_string(current);
    if (board.isThinking()) {
        return player + " is thinking";
    }
    if (board.isRemote(current) && !board.isMoveDone()) {
        return player + " (remote) to move";
    }
    // A human's own move is still being shown until the turn passes.
    if (board.isHuman(board.getCurrentPlayer()) && !board.isMoveDone()) {
        return player + " to move";
    }
    return "";
}

float SporrikHud::fittedScale(int viewportWidth, float textScale) {
    // Player 1's count from its offset on, then the gap, then player 2's
    // offset from the right edge, which holds its count.
    const float row = kPlayer1Offset / 2.0f + kCountCells * Font::Metrics::ofType(Font::kBig).cellWidth +
                      kCountGap + kPlayer2RightOffset / 2.0f;
    return std::min(textScale, static_cast<float>(viewportWidth) / row);
}

SporrikHud::Captions SporrikHud::compose(const GameBoard& board, int framesPerSecond, int viewportWidth,
                                         int viewportHeight, float scale) {
    // Offsets by the pixel, grown and shrunk with the texts.
    const float width = static_cast<float>(viewportWidth) / scale;
    const float height = static_cast<float>(viewportHeight) / scale;
    Captions captions;
    captions.fps = "FPS: " + std::to_string(framesPerSecond);
    captions.fpsX = 1.0f - kFpsRightOffset / width;
    captions.fpsY = 1.0f - 2.0f * kTopLineDrop / height;
    const int current = board.getCurrentPlayer();
    const bool hasGame = current == GameBoard::kPlayer1 || current == GameBoard::kPlayer2;
    for (int player = 1; player <= kPlayers && hasGame; ++player) {
        captions.players[static_cast<size_t>(player - 1)] =
            "Player " + std::to_string(player) + ": " + std::to_string(board.getFigureCount(player));
    }
    captions.playerX = {kPlayer1Offset / width - 1.0f, 1.0f - kPlayer2RightOffset / width};
    captions.playerY = kBottomEdge;
    // Read once: at the easy level each reading draws random numbers.
    const int winner = board.winner();
    captions.turn = turnCaption(board, winner);
    captions.turnX = captions.playerX[0];
    captions.turnY = captions.fpsY;
    if (winner == 0) {
        captions.result = "";
    } else if (winner == GameBoard::kPlayer1) {
        captions.result = "Player 1 Won!";
    } else {
        captions.result = "Player 2 Won!";
    }
    captions.resultX = -(static_cast<float>(captions.result.size()) * kResultCharWidth) / width;
    captions.resultY = 0.0f;
    return captions;
}

void SporrikHud::render(double elapsed, float) {
    frames.count(elapsed);
    int viewportWidth = 0;
    int viewportHeight = 0;
    Control::viewportSize(*this, viewportWidth, viewportHeight);
    const float scale = fittedScale(viewportWidth, TextScale::factor(viewportWidth, viewportHeight));
    container->setScale(scale);
    const Captions captions = compose(*board, frames.framesPerSecond, viewportWidth, viewportHeight, scale);
    fpsText->set(captions.fpsX, captions.fpsY, captions.fps);
    for (size_t i = 0; i < playerTexts.size(); ++i) {
        playerTexts[i]->set(captions.playerX[i], captions.playerY, captions.players[i]);
    }
    std::string result = captions.result;
    float resultX = captions.resultX;
    std::string turn = captions.turn;
    std::string coach;
    std::string notice;
    if (view != nullptr) {
        // Shown instead of the game, the table says what it shows.
        const std::string caption = view->getCaption();
        turn = caption.empty() ? turn : caption;
        coach = view->getCoachText();
    }
    if (network != nullptr && network->showsNetworkGame()) {
        // The coach is not asked in a network game: its lines say how the game is played.
        coach = network->connectionLine() + "\n" + network->codeLine();
        notice = network->noticeLine();
        const std::string ended = network->resultLine();
        if (!ended.empty()) {
            result = ended;
            resultX = -(static_cast<float>(Text::countCharacters(result)) * kResultCharWidth) /
                      (static_cast<float>(viewportWidth) / scale);
        }
        if (!result.empty()) {
            turn.clear();
        }
    }
    resultText->set(resultX, captions.resultY, result);
    // Centred over the board, below the top lines.
    const float noticeWidth = static_cast<float>(Text::countCharacters(notice)) *
                              Font::Metrics::ofType(Font::kSmall).cellWidth * scale;
    noticeText->set(-noticeWidth / static_cast<float>(viewportWidth),
                    captions.turnY - 2.0f * kNoticeDrop * scale / static_cast<float>(viewportHeight), notice);
    turnText->set(captions.turnX, captions.turnY, turn);
    const float lineOffset = 2.0f * kCoachLineOffset * scale / static_cast<float>(viewportHeight);
    const std::string::size_type lineEnd = coach.find('\n');
    const std::string lines[] = {coach.substr(0, lineEnd),
                                 lineEnd == std::string::npos ? std::string() : coach.substr(lineEnd + 1)};
    for (size_t i = 0; i < coachTexts.size(); ++i) {
        coachTexts[i]->set(captions.turnX, captions.turnY - lineOffset * static_cast<float>(i + 1), lines[i]);
    }
}

void SporrikHud::linkChildren() {
    linkChild(container.get());
    if (moveList) {
        linkChild(moveList.get());
    }
}

bool SporrikHud::coversPointer(float x, float y) const {
    return moveList && moveList->isLinked() && moveList->covers(x, y);
}

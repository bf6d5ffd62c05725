#pragma once

#include "graph/rendernode.h"
#include "ui/textscale.h"

#include <array>
#include <memory>
#include <string>

class ControlContainer;
class Font;
class GameBoard;
class GameView;
class MoveList;
class NetworkHost;
class Text;

// The game's text over the scene: the frame rate in the upper right corner,
// whose turn it is (or what is shown instead of the game) in the upper left
// with the coach's words below, both players' figure counts along the bottom
// edge and the winner in the middle; and the list of moves beside the board.
// During a network game, the connection and the game's code stand under the
// turn, and a request to take back or how the game ended in the middle.
// Reads the board and the view every frame; only the list takes input.
class SporrikHud : public RenderNode {
public:
    static constexpr int kPlayers = 2;

    // Frames counted per whole second of frame time; the remainder above a
    // second is carried over.
    struct FrameCounter {
        int framesPerSecond = 0;
        double elapsed = 0.0;
        int frameCount = 0;

        void count(double frameTime);
    };

    // The four texts of one frame and their absolute screen positions.
    struct Captions {
        std::string fps;
        float fpsX = 0.0f;
        float fpsY = 0.0f;
        std::array<std::string, kPlayers> players;
        std::array<float, kPlayers> playerX = {};
        float playerY = 0.0f;
        std::string turn;
        float turnX = 0.0f;
        float turnY = 0.0f;
        std::string result;
        float resultX = 0.0f;
        float resultY = 0.0f;
    };

    // board, view and network: not owned; without a view there is no list
    // of moves and no coach, without network no lines of network play.
    explicit SporrikHud(GameBoard* board, GameView* view = nullptr, NetworkHost* network = nullptr);
    ~SporrikHud() override;

    // Who is to move and whether a computer is thinking; empty while moves
    // are shown, without a game on the board and once winner (board.winner())
    // is decided.
    static std::string turnCaption(const GameBoard& board, int winner);
    // scale: the texts' size against their pixel sizes (fittedScale); the
    // pixel offsets from the edges follow it, so that the texts keep apart.
    // Without a game on the board (before the first, in the fluid demo) the
    // counts are empty.
    static Captions compose(const GameBoard& board, int framesPerSecond, int viewportWidth,
                            int viewportHeight = TextScale::kLayoutHeight, float scale = 1.0f);
    // The text scale, or less where the two counts along the bottom edge
    // would otherwise meet.
    static float fittedScale(int viewportWidth, float textScale);

    void render(double elapsed, float) override;
    void linkChildren() override;
    void attach() override {}
    void detach() override {}

    Text* getFpsText() const { return fpsText.get(); }
    Text* getPlayerText(int player) const { return playerTexts[static_cast<size_t>(player - 1)].get(); }
    Text* getResultText() const { return resultText.get(); }
    Text* getTurnText() const { return turnText.get(); }
    // Line 0 or 1 of the coach's words, or of the network game's connection and code.
    Text* getCoachText(int line) const { return coachTexts[static_cast<size_t>(line)].get(); }
    Text* getNoticeText() const { return noticeText.get(); }
    // Null without a view.
    MoveList* getMoveList() const { return moveList.get(); }
    // The list of moves, on screen, lies under the pointer at (x, y),
    // fractions of the window from the top left.
    bool coversPointer(float x, float y) const;

private:
    GameBoard* board;     // not owned: the game's board
    GameView* view;       // not owned: the application, may be null
    NetworkHost* network; // not owned: the application, may be null
    std::unique_ptr<ControlContainer> container;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Font> bigFont;
    std::unique_ptr<Text> fpsText;
    std::array<std::unique_ptr<Text>, kPlayers> playerTexts;
    std::unique_ptr<Text> resultText;
    std::unique_ptr<Text> turnText;
    std::array<std::unique_ptr<Text>, 2> coachTexts;
    std::unique_ptr<Text> noticeText;
    std::unique_ptr<MoveList> moveList;
    FrameCounter frames;
};

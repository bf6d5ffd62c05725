#pragma once

#include "graph/rendernode.h"
#include "ui/textscale.h"

#include <array>
#include <memory>
#include <string>

class ControlContainer;
class Font;
class GameBoard;
class Text;

// The game's text over the scene: the frame rate in the upper right corner,
// whose turn it is in the upper left, both players' figure counts along the
// bottom edge and the winner in the middle. Reads the board every frame; takes no input.
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

    // board: not owned.
    explicit SporrikHud(GameBoard* board);
    ~SporrikHud() override;

    // Who is to move and whether a computer is thinking; empty while moves
    // are shown, before the first game and once winner (board.winner()) is
    // decided.
    static std::string turnCaption(const GameBoard& board, int winner);
    // scale: the texts' size against their pixel sizes (fittedScale); the
    // pixel offsets from the edges follow it, so that the texts keep apart.
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

private:
    GameBoard* board; // not owned: the game's board
    std::unique_ptr<ControlContainer> container;
    std::unique_ptr<Font> smallFont;
    std::unique_ptr<Font> bigFont;
    std::unique_ptr<Text> fpsText;
    std::array<std::unique_ptr<Text>, kPlayers> playerTexts;
    std::unique_ptr<Text> resultText;
    std::unique_ptr<Text> turnText;
    FrameCounter frames;
};

#include "base/tools.h"
#include "game/gameboard.h"
#include "graph/rendergraph.h"
#include "graph/windowsize.h"
#include "resources/material.h"
#include "support/glcontext.h"
#include "support/pngfiles.h"
#include "support/testpaths.h"
#include "ui/buttonsimple.h"
#include "ui/gamehost.h"
#include "ui/menudemos.h"
#include "ui/menugames.h"
#include "ui/menuhost.h"
#include "ui/menuhosting.h"
#include "ui/menumain.h"
#include "ui/menunetform.h"
#include "ui/menunetwork.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/networkhost.h"
#include "ui/optionshost.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"
#include "ui/textfield.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The fullest menus: a game to continue and to resign, a page of kept games
// with the longest lines they show, two lines of a failure, two games on the
// local network and three addresses of this machine.
class StandInHost : public MenuHost, public OptionsHost, public GameHost, public NetworkHost {
public:
    Phase networkPhase() const override { return phase; }
    std::string failure() const override {
        return "Version mismatch: the server runs Sporrik 10.10.10 (protocol 20), this game is Sporrik 1.0.0 "
               "(protocol 1). Both need the same protocol.";
    }
    void clearFailure() override {}
    std::string hostGame() override { return {}; }
    std::string createOnServer(const std::string&) override { return {}; }
    std::string joinGame(const std::string&, const std::string&) override { return {}; }
    std::string watchGame(const std::string&, const std::string&) override { return {}; }
    void cancelNetworkGame() override {}
    void swapSides() override {}
    int ownSeat() const override { return 1; }
    std::string joinCode() const override { return "WWW-WWW-WWW"; }
    std::vector<std::string> reachableAt() const override {
        return {"192.168.100.200:47621", "10.200.200.200:47621", "172.16.200.200:47621"};
    }
    std::string statusText() const override { return {}; }
    void searchLan() override {}
    std::vector<LanGame> lanGames() const override {
        return std::vector<LanGame>(2, {"workstation-42  WWW-WWW-WWW", "192.168.100.200", "WWWWWWWWW"});
    }
    std::string rememberedServer() const override { return "play.example.org:47621"; }
    bool canResign() const override { return true; }
    void resign() override {}
    std::string clipboardText() override { return {}; }
    bool showsNetworkGame() const override { return false; }
    std::string connectionLine() const override { return {}; }
    std::string codeLine() const override { return {}; }
    std::string noticeLine() const override { return {}; }
    std::string resultLine() const override { return {}; }
    Phase phase = Phase::Idle;

    bool showMenu(Menu*) override { return true; }
    bool closeMenu(Menu*) override { return true; }
    void leaveMenus() override {}
    [[noreturn]] void quit() override { std::abort(); }
    OptionValues getOptions() const override { return {}; }
    void setOptions(const OptionValues&) override {}
    bool isMuted() const override { return false; }
    void setMuted(bool) override {}
    bool canContinue() const override { return true; }
    void continueGame() override {}
    void startGame(const std::array<bool, 2>&, int) override {}
    void startDemo() override {}
    void startFluidDemo() override {}
    std::vector<std::string> listGames() override {
        return std::vector<std::string>(kGamesShown, "2026-12-31 23:59  Expert - Expert  41:40 Player 2 won");
    }
    bool openGame(int) override { return false; }

private:
    // One more than a page, so that the page buttons show too.
    static constexpr size_t kGamesShown = 5;
};

// What the last draw of a container's controls measured, in screen units
// (a text where it is drawn; the captions of buttons and the texts of
// fields, which lie on them, and hidden controls left out): every control lies in the window and apart from
// the others.
void expectInsideAndApart(const ControlContainer& container) {
    struct Rect {
        std::string what;
        float x0, y0, x1, y1;
    };
    std::set<const Control*> captions;
    for (const Control* c : container.getChildren()) {
        if (const auto* button = dynamic_cast<const ButtonSimple*>(c)) {
            captions.insert(button->getLabel());
        }
        // A text field's text lies in its box, as a caption on its button.
        if (const auto* field = dynamic_cast<const TextField*>(c)) {
            captions.insert(field->getLabel());
        }
    }
    std::vector<Rect> rects;
    for (const Control* c : container.getChildren()) {
        // A caption stands on its button from the first frame on.
        const auto* button = dynamic_cast<const ButtonSimple*>(c);
        if (button != nullptr && button->isVisible() && button->getLabel() != nullptr) {
            float x = 0.0f, y = 0.0f;
            button->getLabel()->getDrawPosition(x, y);
            EXPECT_TRUE(x >= c->getAbsoluteX() && y >= c->getAbsoluteY() &&
                        x + button->getLabel()->getWidth() <= c->getAbsoluteX() + c->getWidth() &&
                        y + button->getLabel()->getHeight() <= c->getAbsoluteY() + c->getHeight())
                << button->getCaption() << "'s caption is off its button";
        }
        float x = c->getAbsoluteX(), y = c->getAbsoluteY();
        const auto* text = dynamic_cast<const Text*>(c);
        if (text != nullptr) {
            text->getDrawPosition(x, y);
        }
        if (captions.count(c) == 0 && c->isVisible() && c->getWidth() > 0.0f) {
            const auto* button = dynamic_cast<const ButtonSimple*>(c);
            const std::string what = text ? text->getText() : button ? button->getCaption() : "logo";
            rects.push_back({what, x, y, x + c->getWidth(), y + c->getHeight()});
        }
    }
    constexpr float kEdge = 1.0e-4f;
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rect& a = rects[i];
        EXPECT_TRUE(a.x0 >= -1.0f - kEdge && a.y0 >= -1.0f - kEdge && a.x1 <= 1.0f + kEdge &&
                    a.y1 <= 1.0f + kEdge)
            << a.what << " leaves the window";
        for (size_t j = 0; j < i; ++j) {
            const Rect& b = rects[j];
            EXPECT_TRUE(a.x0 >= b.x1 - kEdge || b.x0 >= a.x1 - kEdge || a.y0 >= b.y1 - kEdge ||
                        b.y0 >= a.y1 - kEdge)
                << a.what << " overlaps " << b.what;
        }
    }
}

// Draws a node alone at each window size and text size into a picture off
// the screen, the size of the largest window.
class LayoutGl : public ::testing::Test {
protected:
    static constexpr int kLargest[] = {3840, 2160};

    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kLargest[0], kLargest[1]);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &framebuffer);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        TextScale::setSize(TextScale::Size::Normal);
        WindowSize::set(GlTest::kWidth, GlTest::kHeight);
        setAssetDirectory("");
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Once each (what the first frame shows), then checks container; SPORRIK_LAYOUT_SHOTS=<folder> keeps each
    // picture there.
    void drawn(RenderNode& node, const ControlContainer& container, const std::string& name) {
        // Only the measures count unless the pictures are kept: a scissor of
        // one pixel spares the rasteriser the large windows.
        const char* folder = std::getenv("SPORRIK_LAYOUT_SHOTS");
        if (folder == nullptr) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, 1, 1);
        }
        for (const auto& [width, height] : {std::pair{640, 480}, {1024, 768}, {1920, 1080}, {3840, 2160}}) {
            for (const auto size : {TextScale::Size::Small, TextScale::Size::Normal, TextScale::Size::Large,
                                    TextScale::Size::Huge}) {
                const std::string shot = name + "-" + std::to_string(width) + "x" + std::to_string(height) +
                                         "-" + TextScale::name(size);
                SCOPED_TRACE(shot);
                TextScale::setSize(size);
                WindowSize::set(width, height);
                glViewport(0, 0, width, height);
                RenderGraph graph(0, 0, width, height);
                graph.addRoot(&node, 0);
                glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                Material::resetLastApplied();
                graph.update();
                graph.render(0.0);
                expectInsideAndApart(container);
                if (folder != nullptr) {
                    PngFiles::Picture png{width, height, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}};
                    const size_t row = static_cast<size_t>(width) * 4;
                    png.rows.resize(row * height);
                    for (int y = 0; y < height; ++y) { // the picture's rows run from the top
                        glReadPixels(0, height - 1 - y, width, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                                     &png.rows[row * y]);
                    }
                    PngFiles::write(std::string(folder) + "/" + shot + ".png", png);
                }
                graph.clearRoots();
                graph.update();
            }
        }
        glDisable(GL_SCISSOR_TEST);
    }

    GLuint framebuffer = 0;
    GLuint colour = 0;
};

// Every menu (up to seven rows, six of them labelled) and the heads-up
// display, at each text size from 640 x 480 to 3840 x 2160: every control
// lies in the window and none overlaps another. The display shows the
// widest counts, first with the player to move named, then the winner.
TEST_F(LayoutGl, MenusAndHudAtEveryTextSizeAndWindow_StayInTheWindowWithoutOverlaps) {
    GameBoard board;
    StandInHost host;
    MenuMain main(host, host, host, host);
    drawn(main, *main.getExitButton()->getParent(), "main");
    EXPECT_TRUE(main.getResignButton()->isVisible());
    MenuNetwork& network = *main.getNetworkMenu();
    drawn(network, *network.getReturnButton()->getParent(), "network");
    EXPECT_FALSE(network.getMessageLine(1)->getText().empty());
    network.getForm()->setMode(MenuNetForm::Mode::Join);
    drawn(*network.getForm(), *network.getForm()->getReturnButton()->getParent(), "network-join");
    EXPECT_TRUE(network.getForm()->getLanButton(1)->isVisible());
    host.phase = NetworkHost::Phase::Waiting;
    drawn(*network.getHosting(), *network.getHosting()->getCancelButton()->getParent(), "network-hosting");
    host.phase = NetworkHost::Phase::Idle;
    drawn(*main.getDemosMenu(), *main.getDemosMenu()->getReturnButton()->getParent(), "demos");
    main.getGamesMenu()->shown();
    drawn(*main.getGamesMenu(), *main.getGamesMenu()->getReturnButton()->getParent(), "games");
    drawn(*main.getNewGameMenu(), *main.getNewGameMenu()->getReturnButton()->getParent(), "new-game");
    drawn(*main.getOptionsMenu(), *main.getOptionsMenu()->getReturnButton()->getParent(), "options");

    SporrikHud hud(&board);
    board.setHuman(GameBoard::kPlayer1, true);
    board.newGame();
    board.setFigureCount(GameBoard::kPlayer1, 80);
    board.setFigureCount(GameBoard::kPlayer2, 80);
    drawn(hud, *hud.getFpsText()->getParent(), "hud-turn");
    EXPECT_EQ(hud.getTurnText()->getText(), "Player 1 to move");
    while (board.popMove()) {
    }
    board.setField(8, 8, GameBoard::kEmpty);
    drawn(hud, *hud.getFpsText()->getParent(), "hud-result");
    EXPECT_EQ(hud.getResultText()->getText(), "Player 1 Won!");
}

} // namespace

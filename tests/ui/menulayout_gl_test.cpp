#include "base/tools.h"
#include "game/gameboard.h"
#include "graph/rendergraph.h"
#include "graph/windowsize.h"
#include "resources/material.h"
#include "support/glcontext.h"
#include "support/pngfiles.h"
#include "support/testpaths.h"
#include "ui/buttonsimple.h"
#include "ui/controlcontainer.h"
#include "ui/image.h"
#include "ui/menuhost.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"
#include "ui/menuoptions.h"
#include "ui/optionshost.h"
#include "ui/sporrikhud.h"
#include "ui/text.h"
#include "ui/textscale.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

class StandInHost : public MenuHost, public OptionsHost {
public:
    bool showMenu(Menu*) override { return true; }
    bool closeMenu(Menu*) override { return true; }
    void leaveMenus() override {}
    [[noreturn]] void quit() override { std::abort(); }
    OptionValues getOptions() const override { return values; }
    void setOptions(const OptionValues& v) override { values = v; }
    bool isMuted() const override { return false; }
    void setMuted(bool) override {}

    OptionValues values;
};

// A picture of the given size off the screen, drawn into while it lives.
class Picture {
public:
    Picture(int width, int height) : width(width), height(height) {
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glViewport(0, 0, width, height);
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ~Picture() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &framebuffer);
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Kept for looking at when SPORRIK_LAYOUT_SHOTS names a folder.
    void keep(const std::string& name) const {
        const char* folder = std::getenv("SPORRIK_LAYOUT_SHOTS");
        if (folder == nullptr) {
            return;
        }
        PngFiles::Picture png{width, height, PNG_COLOR_TYPE_RGBA, 8, false, {}, {}};
        png.rows.resize(static_cast<size_t>(width) * height * 4);
        std::vector<uint8_t> rgba(png.rows.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        const size_t row = static_cast<size_t>(width) * 4;
        for (int y = 0; y < height; ++y) {
            std::copy_n(&rgba[row * static_cast<size_t>(height - 1 - y)], row, &png.rows[row * y]);
        }
        PngFiles::write(std::string(folder) + "/" + name + ".png", png);
    }

private:
    int width;
    int height;
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

struct Rect {
    std::string what;
    float x0, y0, x1, y1;
};

Rect rectOf(const std::string& what, const Control& c) {
    return {what, c.getAbsoluteX(), c.getAbsoluteY(), c.getAbsoluteX() + c.getWidth(),
            c.getAbsoluteY() + c.getHeight()};
}

// A text as its last draw measured it, where it is drawn.
Rect rectOf(const Text& t) {
    float x = 0.0f, y = 0.0f;
    t.getDrawPosition(x, y);
    return {"\"" + t.getText() + "\"", x, y, x + t.getWidth(), y + t.getHeight()};
}

// Inside the window, and apart from each other.
void expectInsideAndApart(const std::vector<Rect>& rects) {
    constexpr float kEdge = 1.0e-4f;
    for (size_t i = 0; i < rects.size(); ++i) {
        const Rect& a = rects[i];
        EXPECT_TRUE(a.x0 >= -1.0f - kEdge && a.y0 >= -1.0f - kEdge && a.x1 <= 1.0f + kEdge &&
                    a.y1 <= 1.0f + kEdge)
            << a.what << " leaves the window: " << a.x0 << "," << a.y0 << " to " << a.x1 << "," << a.y1;
        for (size_t j = 0; j < i; ++j) {
            const Rect& b = rects[j];
            EXPECT_TRUE(a.x0 >= b.x1 - kEdge || b.x0 >= a.x1 - kEdge || a.y0 >= b.y1 - kEdge ||
                        b.y0 >= a.y1 - kEdge)
                << a.what << " overlaps " << b.what;
        }
    }
}

// Each control of a menu's container: its buttons with their focus frames,
// the logo and the labels; a caption must lie within its own button.
std::vector<Rect> measured(const ControlContainer& container, int width, int height) {
    std::vector<Rect> rects;
    for (const Control* c : container.getChildren()) {
        if (const auto* button = dynamic_cast<const ButtonSimple*>(c)) {
            Rect r = rectOf(button->getCaption(), *button);
            const Rect caption = rectOf(*button->getLabel());
            EXPECT_TRUE(caption.x0 >= r.x0 && caption.x1 <= r.x1 && caption.y0 >= r.y0 && caption.y1 <= r.y1)
                << button->getCaption() << "'s caption leaves its button";
            // The focus frame must stay in the window too.
            const float scale = button->pixelScale(width, height);
            const float reachX = 2.0f * ButtonSimple::kFocusReach * scale / static_cast<float>(width);
            const float reachY = 2.0f * ButtonSimple::kFocusReach * scale / static_cast<float>(height);
            EXPECT_TRUE(r.x0 - reachX >= -1.0f && r.x1 + reachX <= 1.0f && r.y0 - reachY >= -1.0f &&
                        r.y1 + reachY <= 1.0f)
                << button->getCaption() << "'s focus frame leaves the window";
            rects.push_back(r);
        } else if (const auto* image = dynamic_cast<const Image*>(c)) {
            rects.push_back(rectOf("logo", *image));
        } else if (const auto* text = dynamic_cast<const Text*>(c)) {
            const bool caption = std::any_of(container.getChildren().begin(), container.getChildren().end(),
                                             [text](const Control* other) {
                                                 const auto* b = dynamic_cast<const ButtonSimple*>(other);
                                                 return b != nullptr && b->getLabel() == text;
                                             });
            if (!caption && !text->getText().empty()) {
                rects.push_back(rectOf(*text));
            }
        }
    }
    return rects;
}

const std::pair<int, int> kWindows[] = {{640, 480}, {1024, 768}, {1920, 1080}, {3840, 2160}};
const TextScale::Size kSizes[] = {TextScale::Size::Small, TextScale::Size::Normal, TextScale::Size::Large,
                                  TextScale::Size::Huge};

class LayoutGl : public ::testing::Test {
protected:
    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
    }
    void TearDown() override {
        TextScale::setSize(TextScale::Size::Normal);
        WindowSize::set(GlTest::kWidth, GlTest::kHeight);
        setAssetDirectory("");
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Draws node alone in a picture of the window's size, twice: a text's
    // size is that of its last draw, and the buttons place their captions by it.
    template <typename Check>
    void drawn(RenderNode& node, const std::string& name, Check check) {
        for (const auto& [width, height] : kWindows) {
            for (const TextScale::Size size : kSizes) {
                SCOPED_TRACE(name + " at " + std::to_string(width) + "x" + std::to_string(height) + ", " +
                             TextScale::name(size));
                TextScale::setSize(size);
                WindowSize::set(width, height);
                const Picture picture(width, height);
                RenderGraph graph(0, 0, width, height);
                graph.addRoot(&node, 0);
                for (int pass = 0; pass < 2; ++pass) {
                    glClear(GL_COLOR_BUFFER_BIT);
                    Material::resetLastApplied();
                    graph.update();
                    graph.render(0.0);
                }
                check(width, height);
                picture.keep(name + "-" + std::to_string(width) + "x" + std::to_string(height) + "-" +
                             TextScale::name(size));
                graph.clearRoots();
                graph.update();
            }
        }
    }

    GameBoard board;
    StandInHost host;
};

// Every menu, at every text size, from 640 x 480 to 3840 x 2160: what the
// draw measured lies in the window, and no two controls overlap.
TEST_F(LayoutGl, EveryMenuAtEveryTextSizeAndWindow_StaysInTheWindowWithoutOverlaps) {
    MenuMain main(&board, host, host);
    // Each menu keeps its controls in one container, its buttons' parent.
    const std::pair<Menu*, const ButtonSimple*> menus[] = {
        {&main, main.getExitButton()},
        {main.getNewGameMenu(), main.getNewGameMenu()->getReturnButton()},
        {main.getOptionsMenu(), main.getOptionsMenu()->getReturnButton()}};
    const char* const names[] = {"main", "new-game", "options"};
    for (size_t m = 0; m < std::size(menus); ++m) {
        const ControlContainer& container = *menus[m].second->getParent();
        drawn(*menus[m].first, names[m], [&](int width, int height) {
            const std::vector<Rect> rects = measured(container, width, height);
            EXPECT_GE(rects.size(), 6u);
            expectInsideAndApart(rects);
        });
    }
}

// The heads-up display's texts, with the longest captions they show: player
// 2 thinking at the top left, then the winner in the middle.
TEST_F(LayoutGl, HudAtEveryTextSizeAndWindow_StaysInTheWindowWithoutOverlaps) {
    SporrikHud hud(&board);
    board.setHuman(GameBoard::kPlayer1, true);
    board.setDifficulty(GameBoard::kExpert);
    board.newGame();
    board.setFigureCount(GameBoard::kPlayer1, 80);
    board.setFigureCount(GameBoard::kPlayer2, 80);
    const auto texts = [&hud] {
        std::vector<Rect> shown;
        for (const Text* t : {hud.getFpsText(), hud.getPlayerText(1), hud.getPlayerText(2), hud.getTurnText(),
                              hud.getResultText()}) {
            if (!t->getText().empty()) {
                shown.push_back(rectOf(*t));
            }
        }
        return shown;
    };
    drawn(hud, "hud-turn", [&](int, int) {
        EXPECT_EQ(hud.getTurnText()->getText(), "Player 1 to move");
        expectInsideAndApart(texts());
    });
    while (board.popMove()) {
    }
    board.setField(8, 8, GameBoard::kEmpty);
    drawn(hud, "hud-result", [&](int, int) {
        EXPECT_EQ(hud.getResultText()->getText(), "Player 1 Won!");
        expectInsideAndApart(texts());
    });
}

} // namespace

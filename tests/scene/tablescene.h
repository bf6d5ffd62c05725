#pragma once

#include <GL/glew.h>

#include "base/tools.h"
#include "game/gameboard.h"
#include "resources/material.h"
#include "scene/scenehost.h"
#include "scene/watertable.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

// The table scene on the generated assets in the test window, its log kept
// out of the output; attached by the test, detached at its end.
class TableSceneGl : public ::testing::Test {
protected:
    class RunningHost : public SceneHost {
    public:
        bool isGamePaused() const override { return false; }
        void returnToMenus() override {}
    };

    void SetUp() override {
        GlTest::ensureContext();
        setAssetDirectory(assetDir());
    }
    void TearDown() override {
        table.detach();
        setAssetDirectory("");
        Material::resetLastApplied();
        glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // A new game between two humans: nothing moves unless the test moves it.
    GameBoard& newHumanGame() {
        GameBoard& board = table.getBoard();
        board.setHuman(GameBoard::kPlayer1, true);
        board.setHuman(GameBoard::kPlayer2, true);
        board.newGame();
        return board;
    }

    LogCapture log;
    RunningHost host;
    WaterTable table{host};
};

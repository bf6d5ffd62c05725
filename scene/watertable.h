#pragma once

#include "game/gameboard.h"
#include "input/eventconsumer.h"
#include "scene/basin.h"
#include "scene/boardcursor.h"
#include "scene/cameracontrol.h"
#include "scene/fluidinput.h"
#include "scene/fluidoverlay.h"
#include "scene/keyphase.h"
#include "scene/lightlist.h"
#include "scene/moveanimation.h"
#include "scene/particlesystem.h"
#include "scene/scalecontroller.h"
#include "scene/scaledpicture.h"
#include "scene/scenemodels.h"
#include "scene/sceneoptions.h"
#include "scene/scenequality.h"
#include "scene/selectionmarkers.h"
#include "scene/skybox.h"
#include "scene/table.h"
#include "scene/waterpasses.h"
#include "scene/watersurface.h"

#include <memory>

class FluidSimulation;
class ImageTexture2D;
class SceneHost;
class SceneSound;

// The game scene: the board of 9 x 9 fields at the bottom of a basin under
// the water, the figures standing on it, the table around it and the sky. It
// owns the game's board, turns clicks into clicks on fields, and replays the
// moves the rules queue as animations on a displayed board of its own.
class WaterTable : public Table, public EventConsumer, private MoveAnimation::Listener {
public:
    static constexpr int kFluidCells = 64;
    static constexpr int kSplashDroplets = 200;

    // host: not owned, outlives the table. Creates the fluid simulation, so
    // the window's OpenGL context must exist.
    explicit WaterTable(SceneHost& host);
    ~WaterTable() override;

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override;
    void detach() override;
    void handleEvent(InputEvent& e) override;
    // Commands are not used: the game runs on direct calls on the board.
    bool grants(const std::string&) const override { return false; }

    GameBoard& getBoard() { return board; }
    // The option keys' values; a change shows from the next frame.
    SceneOptions& getSceneOptions() { return options; }
    const CameraControl& getCameraControl() const { return cameraControl; }
    // Moves the orbit camera there (held to its ranges) and views from it.
    void setOrbit(float azimuth, float elevation, float distance);
    // Takes effect at once; the water pictures are made anew at their size.
    void setQuality(SceneQuality newQuality);
    const SceneQuality& getQuality() const { return quality; }
    int countShownFigures(int player) const { return animation.countShownFigures(player); }
    // mouseX, mouseY: fractions of the window, y from the top.
    void pickField(float mouseX, float mouseY);
    // The field under the pointer, -1 for none.
    int getHoverX() const { return hoverX; }
    int getHoverY() const { return hoverY; }
    const BoardCursor& getCursor() const { return cursor; }
    // Picks where the pointer rests, unless a screen over the scene covers it.
    void pickUnderPointer();
    // Takes back the last human move (and the answer to it) and shows the
    // restored board at once; false when the board has nothing to take back.
    bool takeBack();
    // Continues a recorded game, shown at once as it stands; false, changing
    // nothing, when the board refuses the record.
    bool resume(const GameBoard::Record& game);
    // Shows the board as it stands at once, ending the move being shown,
    // with lastMove marked as the last move.
    void showBoardAtOnce(const Move& lastMove = Move());
    // Moves are still being shown: queued, or the last one still moving or
    // not yet landed (the counts follow the landing).
    bool isShowingMoves() const { return animation.getType() != 0 || board.countPendingMoves() > 0; }
    // The coach's tip, marked on the board until cleared (type 0: none).
    void setTip(const Move& move, const std::vector<GameBoard::Position>& won);
    void clearTip() { setTip(Move(), {}); }
    const Move& getTip() const { return tipMove; }
    // Off, frames are drawn the plain way, without the shortcuts that only
    // save time (the passes' scissor, the opaque figures and table before the
    // water, the sky's covered rows, the black overlay left out): a test
    // compares the two pictures.
    void setShortcuts(bool on) { shortcuts = on; }
    // The scale of the scene's picture per axis, in percent of the window:
    // fixed (100, the default, draws straight into the window), or following
    // the frame time. Below 100 the scene is drawn into a smaller picture and
    // stretched over the window; the screens drawn after it keep the window's
    // own resolution, and the pointer keeps its window coordinates.
    void fixScale(int percent);
    void followFrameTime();
    bool followsFrameTime() const { return scale.isFollowing(); }
    int getScalePercent() const { return scale.getPercent(); }

private:
    // MoveAnimation::Listener
    void splash(const vec3& at, int owner) override;
    void dropWater(int i, int j) override;
    void playMoveSound() override;
    void playSelectSound() override;

    void handleKey(int key, KeyPhase phase, double dt, InputEvent& e);
    // The keys of keyboard play; false for a key they leave to the rest.
    bool handleCursorKey(int key, KeyPhase phase, double dt, bool shift);
    // Enter or Space on the cursor's field: as a click there, waiting for
    // the board while the last move is still shown.
    void pressAtCursor();
    // A click or a key press on field (x, y); false when refused.
    bool clickAt(int x, int y);
    // Presses that waited for the board, once it takes clicks.
    void pressWaiting();

    // The water's steps of the frame.
    void updateWater(double dt);
    void renderRefractionPass();
    void renderReflectionPass();
    void drawWater();
    void drawFluidOverlay();
    void feedFluid(double dt);
    void handleFluidButton(int key, KeyPhase phase);
    float waterHeightAt(float x, float y) const;

    void createPasses();
    void readWindowSize();
    void followFrame(double elapsed);
    // Binds where the main pass draws: the scaled picture, or the window.
    void beginPicture();
    void endPicture();
    // Pieces every pass can draw.
    void setProjection() const;
    void applyLights() const;
    void drawFigures(bool lowDetail) const;
    void drawTableModel() const;
    void drawSkyBox() const;
    void drawSkyAroundTable() const;
    void drawParticles() const;
    void drawSelectionMarkers() const;
    void renderMainPass();
    float windowAspect() const { return static_cast<float>(windowWidth) / static_cast<float>(windowHeight); }

    SceneHost& host; // not owned: the application around the scene
    GameBoard board;
    ParticleSystem particles;
    SkyBox skyBox;
    LightList lights;
    MoveAnimation animation;
    CameraControl cameraControl;
    SceneOptions options;
    SceneModels models;
    SelectionMarkers markers;
    std::unique_ptr<SceneSound> selectSound;
    std::unique_ptr<SceneSound> moveSound;
    std::unique_ptr<ImageTexture2D> fieldsTexture;
    std::unique_ptr<FluidSimulation> fluid;
    // Made flat each time the table is loaded.
    std::unique_ptr<WaterSurface> water;
    WaterPasses waterPasses;
    Basin basin;
    FluidInput fluidInput;
    FluidOverlay fluidOverlay;
    SceneQuality quality;
    bool attached = false;
    bool shortcuts = true;
    // Counts frames, so alternating passes know whose turn it is.
    unsigned frameNumber = 0;
    double time = 0.0;
    int hoverX = -1;
    int hoverY = -1;
    BoardCursor cursor;
    // The pointer moved since the cursor keys were last used: the marker
    // under the pointer shows again.
    bool pointerActive = true;
    // Where the pointer rests (window fractions; negative before it moved):
    // picked again every frame, since a figure that lands or leaves under a
    // resting pointer, or a turning camera, changes what it points at.
    float pointerX = -1.0f;
    float pointerY = -1.0f;
    float hoverPointX = -1.0f;
    float hoverPointY = -1.0f;
    // The pointer rests on a screen over the scene, which takes its clicks.
    bool pointerCovered = false;
    Move tipMove;
    std::vector<GameBoard::Position> tipWon;
    int windowWidth = 1;
    int windowHeight = 1;
    ScaleController scale;
    ScaledPicture picture;
    // What the main pass draws: the window's size, or the scaled picture's.
    int pictureWidth = 1;
    int pictureHeight = 1;
};

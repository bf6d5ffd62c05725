#include <GL/glew.h>

#include "scene/watertable.h"

#include "base/log.h"
#include "base/phasetimer.h"
#include "fluid/fluidsimulation.h"
#include "graph/framepace.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "scene/coveredrows.h"
#include "scene/fieldpicker.h"
#include "scene/matrix4.h"
#include "scene/scenehost.h"
#include "scene/scenesound.h"
#include "scene/scenetexture.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

const char* const kSource = "WaterTable";
const char* const kFieldsTextureFile = "textures/table/table-fields.png";
const char* const kSelectSoundFile = "sounds/vrsnd2t.wav";
const char* const kMoveSoundFile = "sounds/vrsnd1t.wav";

constexpr double kFovDegrees = 60.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 3000.0;
constexpr float kBoardUnits = 64.0f;
constexpr float kFieldUnits = kBoardUnits / MoveAnimation::kSize;
constexpr std::array<float, 4> kBoardArea = {0.0f, 0.0f, kBoardUnits, kBoardUnits};
constexpr float kFigureSize = 3.0f;
constexpr float kJumpHeight = 10.0f;
constexpr float kPi = 3.14159f;

// A white light above the board and a blue one below the water.
const vec3 kTopLightPosition{32.0f, 32.0f, 20.0f};
const vec3 kTopLightColor{0.8f, 0.8f, 0.8f};
constexpr float kTopLightAttenuation = 0.5f;
const vec3 kUnderLightPosition{32.0f, 32.0f, -20.0f};
const vec3 kUnderLightColor{0.0f, 0.0f, 1.0f};
constexpr float kUnderLightAttenuation = 1.0f;
// The lights' attenuation is given per 40 units, not per world unit: taken per
// unit, a light 20 units above the board would keep under 1 % of its strength
// there and leave the figures black. Per 40 units the floor under the water
// keeps about 85 % at its centre and half at its corners, so the fields stay
// readable through the water.
constexpr float kLightDistanceUnit = 40.0f;
constexpr float kPerWorldUnit = 1.0f / (kLightDistanceUnit * kLightDistanceUnit);

// A box inside the table's deck (which reaches 23 units beyond the water's
// edge and stands 1 unit above it) and the water's sheet: seen from above the
// table's top, every pixel of its picture shows the deck, the coping or the
// water, so no sky can show there.
constexpr CoveredRows::Box kSolidTable = {{-22.0f, -22.0f, -5.0f}, {86.0f, 86.0f, 0.0f}};
constexpr float kTableTop = 3.0f;

// Splash colours stored with the droplets, by owner.
const vec4 kSplashColors[] = {{0.5f, 0.5f, 1.0f, 1.0f}, {0.1f, 1.0f, 0.1f, 1.0f}, {0.9f, 0.05f, 0.2f, 1.0f}};

// The phase of a key event and the seconds it stands for; false for other events.
bool keyPhase(const InputEvent& e, int& key, KeyPhase& phase, double& dt) {
    const auto* keyEvent = dynamic_cast<const InputEventKey*>(&e);
    if (keyEvent == nullptr) {
        return false;
    }
    key = keyEvent->getKey();
    if (const auto* up = dynamic_cast<const InputEventKeyUp*>(&e)) {
        phase = KeyPhase::Up;
        dt = up->getPartialDuration();
    } else if (const auto* held = dynamic_cast<const InputEventKeyPressed*>(&e)) {
        phase = KeyPhase::Held;
        dt = held->getDuration();
    } else {
        phase = KeyPhase::Down;
        dt = 0.0;
    }
    return true;
}

} // namespace

WaterTable::WaterTable(SceneHost& host) : host(host) {
    cameraControl.placeOnOrbit(*this);
    fluid = std::make_unique<FluidSimulation>(kFluidCells, kFluidCells);
}

WaterTable::~WaterTable() = default;

void WaterTable::attach() {
    animation.reset();
    water = std::make_unique<WaterSurface>();
    basin.load();
    time = 0.0;
    readWindowSize();
    createPasses();
    attached = true;
    lights.clear();
    lights.add(kTopLightPosition, true, kTopLightColor, kTopLightAttenuation * kPerWorldUnit);
    lights.add(kUnderLightPosition, true, kUnderLightColor, kUnderLightAttenuation * kPerWorldUnit);
    fieldsTexture = loadSceneTexture(kFieldsTextureFile, kSource);
    fluidOverlay.load();
    markers.load();
    models.load();
    selectSound = std::make_unique<SceneSound>(kSelectSoundFile);
    moveSound = std::make_unique<SceneSound>(kMoveSoundFile);
    skyBox.load();
    waterPasses.setSkyDrawn(skyBox.isLoaded());
    particles.load();
    Material::resetLastApplied();
}

void WaterTable::createPasses() {
    if (!waterPasses.create(quality.passSize())) {
        log(WARNING, kSource, "no offscreen pictures: the water shows neither reflection nor refraction");
    }
}

void WaterTable::setQuality(SceneQuality newQuality) {
    const bool resize = newQuality.passSize() != quality.passSize();
    quality = newQuality;
    if (attached && resize) {
        createPasses();
    }
}

void WaterTable::detach() {
    attached = false;
    selectSound.reset();
    moveSound.reset();
    models.release();
    markers.release();
    skyBox.release();
    particles.release();
    particles.clear();
    fieldsTexture.reset();
    basin.release();
    fluidOverlay.release();
}

void WaterTable::render(double elapsed, float) {
    const double dt = options.sceneTime(elapsed);
    time += dt;
    readWindowSize();
    followFrame(elapsed);
    if (!host.isGamePaused()) {
        particles.update(dt);
        updateWater(dt);
        animation.update(board, dt, *this);
        pressWaiting();
        // Nothing to point at once the game is over.
        if (cursor.isShown() && !board.isRunning()) {
            cursor.hide();
        }
        if (pointerX >= 0.0f) {
            pickUnderPointer();
        }
    }
    Material::resetLastApplied();
    // Each pass is cut to the area the water samples in this frame; without
    // the shortcuts the passes draw their whole pictures.
    if (!shortcuts) {
        waterPasses.clearSampledArea();
    } else if (water) {
        waterPasses.setSampledArea(water->sampledArea());
    }
    // Alternating, the refraction is drawn on even frames and the reflection
    // on odd ones; the water shows the other picture from the frame before,
    // unless that was drawn for less than the water samples now (new
    // pictures, or a step whose ripples reach farther past the rim).
    const bool alternate = quality.alternatesPasses();
    const bool evenFrame = frameNumber % 2 == 0;
    ++frameNumber;
    if (!alternate || evenFrame || !waterPasses.refractionHoldsSampledArea()) {
        const PhaseScope phase(FramePhase::Refraction);
        renderRefractionPass();
    }
    if (options.wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    if (!alternate || !evenFrame || !waterPasses.reflectionHoldsSampledArea()) {
        const PhaseScope phase(FramePhase::Reflection);
        renderReflectionPass();
    }
    beginPicture();
    renderMainPass();
    endPicture();
    {
        const PhaseScope phase(FramePhase::FluidStep);
        feedFluid(dt);
    }
    Material::resetLastApplied();
}

void WaterTable::readWindowSize() {
    // The application sets the viewport to the window before the graph draws.
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    windowWidth = std::max(viewport[2], 1);
    windowHeight = std::max(viewport[3], 1);
}

void WaterTable::fixScale(int percent) {
    scale.fix(percent);
}

void WaterTable::followFrameTime() {
    scale.follow();
}

void WaterTable::followFrame(double elapsed) {
    const int before = scale.getPercent();
    if (!scale.addFrame((elapsed - FramePace::getWait()) * 1000.0)) {
        return;
    }
    char line[128];
    std::snprintf(line, sizeof line, "scale %d %% -> %d %%: frames took %.1f ms (median), budget %.1f ms",
                  before, scale.getPercent(), scale.getLastMedianMs(), scale.getBudgetMs());
    log(NOTE, kSource, line);
}

void WaterTable::beginPicture() {
    pictureWidth = windowWidth;
    pictureHeight = windowHeight;
    const int percent = scale.getPercent();
    if (percent >= ScaleController::kFull) {
        // Straight into the window, as without scaling: no copy to pay for.
        picture.release();
        return;
    }
    const auto scaled = [percent](int size) {
        return std::max((size * percent + 50) / 100, 1);
    };
    if (picture.begin(scaled(windowWidth), scaled(windowHeight))) {
        pictureWidth = picture.getWidth();
        pictureHeight = picture.getHeight();
    }
}

void WaterTable::endPicture() {
    if (pictureWidth == windowWidth && pictureHeight == windowHeight) {
        return;
    }
    const PhaseScope phase(FramePhase::ScaleUp);
    picture.end(windowWidth, windowHeight);
}

void WaterTable::setProjection() const {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFovDegrees, static_cast<double>(windowWidth) / windowHeight, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
}

void WaterTable::renderMainPass() {
    // The lens keeps the window's aspect whatever the picture's rounding:
    // the stretched picture then lies exactly where the pointer picks.
    glViewport(0, 0, pictureWidth, pictureHeight);
    setProjection();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCamera();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    applyLights();
    if (!shortcuts) {
        drawWater();
    }
    // The opaque figures and table before the water: the depth test then
    // skips the water behind them, the costliest pixels of the frame (two
    // projected pictures), and the picture stays the same.
    {
        const PhaseScope phase(FramePhase::Figures);
        drawFigures(false);
    }
    drawTableModel();
    if (shortcuts) {
        const PhaseScope phase(FramePhase::WaterSurface);
        drawWater();
    }
    {
        const PhaseScope phase(FramePhase::Overlay);
        drawFluidOverlay();
    }
    {
        const PhaseScope phase(FramePhase::Sky);
        drawSkyAroundTable();
    }
    drawSelectionMarkers();
    {
        const PhaseScope phase(FramePhase::Particles);
        drawParticles();
    }
    PhaseTimer::mark(FramePhase::Other);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // The screens drawn after the scene expect the fixed state they start from.
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
}

void WaterTable::applyLights() const {
    lights.apply();
}

void WaterTable::drawFigures(bool lowDetail) const {
    SceneModels::Style style;
    style.models = options.models;
    style.staticMeshes = options.staticMeshes;
    style.debug = options.debug;
    style.wireframe = options.wireframe;
    style.lowDetailDistance = quality.lowDetailDistance();
    const vec3 eye = getPosition();
    for (int i = 0; i < MoveAnimation::kSize; ++i) {
        for (int j = 0; j < MoveAnimation::kSize; ++j) {
            const int owner = animation.getShown(i, j);
            if (!MoveAnimation::isOwner(owner)) {
                continue;
            }
            vec3 at = MoveAnimation::fieldPosition(i, j);
            at.z = waterHeightAt((static_cast<float>(i) + 0.5f) * kFieldUnits,
                                 (static_cast<float>(j) + 0.5f) * kFieldUnits);
            models.drawFigure(at, kFigureSize, owner, lowDetail, eye, style);
        }
    }
    const float t = animation.getProgress();
    const vec3 start = animation.getStart();
    const vec3 way = start + (animation.getEnd() - start) * t;
    switch (animation.getType()) {
    case MoveJump:
        models.drawFigure({way.x, way.y, std::sin(t * kPi) * kJumpHeight}, kFigureSize, animation.getOwner(),
                          lowDetail, eye, style);
        break;
    case MoveSplit:
        models.drawFigure(way, kFigureSize * t, animation.getOwner(), lowDetail, eye, style);
        break;
    case MoveConvert:
        models.drawFigure(start, kFigureSize * t, animation.getOwner(), lowDetail, eye, style);
        break;
    default:
        break;
    }
    Material::resetLastApplied();
}

void WaterTable::drawTableModel() const {
    models.drawTable();
    Material::resetLastApplied();
}

void WaterTable::drawSkyBox() const {
    skyBox.draw(getPosition());
    Material::resetLastApplied();
}

void WaterTable::drawSkyAroundTable() const {
    // Drawn last, the sky fills only what the depth test leaves, but a
    // software renderer pays for every pixel it tests: the rows the table
    // hides from side to side are left out.
    std::optional<CoveredRows::Range> hidden;
    if (shortcuts && water && models.hasTable() && !options.wireframe && getPosition().z > kTableTop) {
        // The lens of setProjection and the camera of applyCamera.
        const Matrix4x4<double> projection = perspectiveAsDrawn(
            kFovDegrees, static_cast<double>(windowWidth) / windowHeight, kNearPlane, kFarPlane);
        hidden = CoveredRows::of(multiply(projection, widened(viewMatrix())), kSolidTable, pictureWidth,
                                 pictureHeight, kNearPlane);
    }
    // Only a band along the top or the bottom leaves one rectangle of sky.
    if (hidden && (hidden->first == 0 || hidden->last == pictureHeight)) {
        const int from = hidden->first == 0 ? hidden->last : 0;
        const int to = hidden->first == 0 ? pictureHeight : hidden->first;
        glScissor(0, from, pictureWidth, to - from);
        glEnable(GL_SCISSOR_TEST);
        drawSkyBox();
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    drawSkyBox();
}

void WaterTable::drawParticles() const {
    particles.draw(getPosition());
}

void WaterTable::drawSelectionMarkers() const {
    // The move stays marked until the player to move picks a figure.
    markers.drawLastMove(animation.getLastMove());
    // Where the player points: the keyboard's cursor until the pointer moves.
    const bool keys = cursor.isShown() && !pointerActive;
    const int aimX = keys ? cursor.getX() : hoverX;
    const int aimY = keys ? cursor.getY() : hoverY;
    markers.drawTip(time, tipMove, tipWon);
    if (options.moveHints) {
        const MoveHints::Fields reachable = MoveHints::reachable(board);
        markers.drawHints(time, reachable, MoveHints::conversions(board, reachable, aimX, aimY));
    }
    const bool clickable = board.canClickField(hoverX, hoverY);
    markers.draw(time, keys ? -1 : hoverX, hoverY, clickable, animation.getHighlightX(),
                 animation.getHighlightY());
    if (cursor.isShown()) {
        markers.drawCursor(time, cursor.getX(), cursor.getY(),
                           board.canClickField(cursor.getX(), cursor.getY()), cursor.showsRefusal(time));
    }
}

void WaterTable::updateWater(double dt) {
    if (water) {
        water->update(dt);
    }
}

void WaterTable::renderRefractionPass() {
    // No sky: the basin and its lip fill every place the water samples.
    waterPasses.renderRefraction(viewMatrix(), windowAspect(), [this] {
        applyLights();
        basin.draw(time, options.caustics, options.fog, options.fogDepth,
                   water ? water->sampledArea() : kBoardArea);
    });
}

void WaterTable::renderReflectionPass() {
    waterPasses.renderReflection(
        viewMatrix(), windowAspect(),
        [this] {
            applyLights();
            drawFigures(true);
        },
        [this] {
            drawTableModel();
            glDisable(GL_LIGHTING);
            glDisable(GL_RESCALE_NORMAL);
            drawSkyBox();
            drawParticles();
        });
}

void WaterTable::drawWater() {
    if (!water) {
        return;
    }
    WaterView view;
    if (waterPasses.isAvailable()) {
        view.refraction = &waterPasses.getRefraction();
        view.reflection = &waterPasses.getReflection();
    }
    view.viewMatrix = viewMatrix();
    view.aspect = windowAspect();
    view.blend =
        WaterSurface::blendValue(options.autoBlend, cameraControl.getElevation(), options.blendManual);
    view.addReflection = options.addReflection;
    view.drawNormals = options.debug;
    water->draw(view);
}

void WaterTable::drawFluidOverlay() {
    if (options.fluidOverlay) {
        fluidOverlay.draw(fluid.get(), shortcuts);
    }
}

void WaterTable::feedFluid(double dt) {
    fluidInput.feed(fluid.get(), hoverPointX, hoverPointY, dt);
}

void WaterTable::handleFluidButton(int key, KeyPhase phase) {
    const bool released = phase == KeyPhase::Up;
    if (key == KeyMouseLeft) {
        fluidInput.leftButton(released);
    } else if (key == KeyMouseMiddle) {
        fluidInput.middleButton(released);
    } else if (key == KeyMouseRight) {
        fluidInput.rightButton(released, hoverPointX, hoverPointY);
    }
}

float WaterTable::waterHeightAt(float x, float y) const {
    return water ? water->heightAt(x, y) : 0.0f;
}

void WaterTable::dropWater(int i, int j) {
    if (water) {
        water->drop((static_cast<float>(i) + 0.5f) * kFieldUnits,
                    (static_cast<float>(j) + 0.5f) * kFieldUnits);
    }
}

void WaterTable::splash(const vec3& at, int owner) {
    const vec4& color = kSplashColors[MoveAnimation::isOwner(owner) ? owner : 0];
    particles.emit(at, color, kSplashDroplets);
}

void WaterTable::playMoveSound() {
    if (moveSound) {
        moveSound->play();
    }
}

void WaterTable::playSelectSound() {
    if (selectSound) {
        selectSound->play();
    }
}

void WaterTable::pickField(float mouseX, float mouseY) {
    const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    // A field the selected figure can reach is taken wherever it shows,
    // even past the edge of a figure standing in front of it.
    const MoveHints::Fields reachable = MoveHints::reachable(board);
    const FieldPicker::Pick pick = FieldPicker::pick(
        *this, aspect, mouseX, mouseY, animation.getShownFields(), &reachable, options.moveHints);
    hoverX = pick.x;
    hoverY = pick.y;
    hoverPointX = pick.pointX;
    hoverPointY = pick.pointY;
}

void WaterTable::pickUnderPointer() {
    pointerCovered = host.coversPointer(pointerX, pointerY);
    if (!pointerCovered) {
        pickField(pointerX, pointerY);
        return;
    }
    hoverX = -1;
    hoverY = -1;
    hoverPointX = -1.0f;
    hoverPointY = -1.0f;
}

void WaterTable::setTip(const Move& move, const std::vector<GameBoard::Position>& won) {
    tipMove = move;
    tipWon = won;
}

void WaterTable::showBoardAtOnce(const Move& lastMove) {
    animation.showBoard(board, lastMove);
    particles.clear();
}

bool WaterTable::takeBack() {
    if (!board.takeBack()) {
        return false;
    }
    animation.showBoard(board);
    // The splashes of the moves taken back are gone with them.
    particles.clear();
    return true;
}

bool WaterTable::resume(const GameBoard::Record& game) {
    if (!board.restore(game)) {
        return false;
    }
    animation.showBoard(board);
    particles.clear();
    // Only now: a computer's answer is queued against the board just shown.
    board.continueTurn();
    return true;
}

void WaterTable::setOrbit(float azimuth, float elevation, float distance) {
    cameraControl.setOrbit(azimuth, elevation, distance);
    cameraControl.setOrbitMode(true);
    cameraControl.placeOnOrbit(*this);
}

void WaterTable::handleEvent(InputEvent& e) {
    if (host.isGamePaused()) {
        pickField(0.0f, 0.0f);
        return;
    }
    if (const auto* motion = dynamic_cast<const InputEventMotion*>(&e)) {
        // Left unclaimed: the cursor follows the same motion.
        if (!motion->hasLeftWindow()) {
            double x = 0.0, y = 0.0;
            motion->getPosition(x, y);
            pointerX = static_cast<float>(x);
            pointerY = static_cast<float>(y);
            pointerActive = true;
            pickUnderPointer();
        }
        return;
    }
    int key = 0;
    KeyPhase phase = KeyPhase::Down;
    double dt = 0.0;
    if (keyPhase(e, key, phase, dt)) {
        const auto* keyEvent = dynamic_cast<const InputEventKey*>(&e);
        if (handleCursorKey(key, phase, dt, keyEvent->hasShift())) {
            e.consume();
            return;
        }
        handleKey(key, phase, dt, e);
    }
}

bool WaterTable::clickAt(int x, int y) {
    if (!board.canClickField(x, y)) {
        return false;
    }
    if (board.clickField(x, y)) {
        board.setMoveDone(true);
    }
    return true;
}

void WaterTable::pressAtCursor() {
    if (clickAt(cursor.getX(), cursor.getY())) {
        return;
    }
    // The human's turn has come while the last move is still being shown:
    // the press is kept until the board takes it.
    const int current = board.getCurrentPlayer();
    if (board.isRunning() && board.isHuman(current) && !board.isMoveDone() && board.countPendingMoves() > 0) {
        cursor.waitForBoard();
        return;
    }
    cursor.refuse(time);
}

void WaterTable::pressWaiting() {
    while (cursor.hasWaiting() && board.countPendingMoves() == 0) {
        const GameBoard::Position at = cursor.takeWaiting();
        if (!clickAt(at.x, at.y)) {
            cursor.dropWaiting();
            cursor.refuse(time);
        }
    }
}

bool WaterTable::handleCursorKey(int key, KeyPhase phase, double dt, bool shift) {
    const bool pressed = phase == KeyPhase::Down;
    int dx = 0;
    int dy = 0;
    if (key == KeyTab) {
        if (pressed && cursor.nextFigure(board, BoardCursor::keyboardPlayer(board), shift ? -1 : 1)) {
            pointerActive = false;
        }
        return true;
    }
    if (key == KeyEnter || key == KeySpace) {
        if (pressed && cursor.isShown()) {
            pointerActive = false;
            pressAtCursor();
        } else if (pressed && cursor.nextFigure(board, BoardCursor::keyboardPlayer(board), 1)) {
            // Before the cursor shows, a press only puts it on a figure.
            pointerActive = false;
        }
        return true;
    }
    // Without the cursor, and with Shift, the arrows turn the camera.
    if (!cursor.isShown() || shift || !BoardCursor::boardStep(*this, key, dx, dy)) {
        return false;
    }
    pointerActive = false;
    if (pressed) {
        cursor.step(dx, dy);
    } else if (phase == KeyPhase::Held) {
        cursor.hold(dx, dy, dt);
    }
    return true;
}

void WaterTable::handleKey(int key, KeyPhase phase, double dt, InputEvent& e) {
    bool handled = true;
    if (key == KeyEscape) {
        // A selection is dropped first; without one Escape leaves the game.
        const int current = board.getCurrentPlayer();
        const int selectedX = board.getSelectedX();
        if (phase == KeyPhase::Up) {
            cursor.dropWaiting();
            if (selectedX >= 0 && board.isHuman(current) &&
                board.getField(selectedX, board.getSelectedY()) == current) {
                board.clickField(selectedX, board.getSelectedY());
            } else {
                host.returnToMenus();
            }
        }
    } else if (key == KeyMouseLeft || key == KeyMouseMiddle || key == KeyMouseRight) {
        // Over a screen the buttons are its own; a release still ends a
        // stir that began on the board.
        if (pointerCovered) {
            if (phase == KeyPhase::Up) {
                handleFluidButton(key, phase);
            }
            return;
        }
        handleFluidButton(key, phase);
        if (key == KeyMouseLeft && phase == KeyPhase::Up) {
            // A click on the board: the mouse takes over from the keys.
            if (hoverX >= 0) {
                cursor.hide();
            }
            clickAt(hoverX, hoverY);
        }
    } else if (key == KeyBackspace || key == KeyCtrlZ) {
        if (phase == KeyPhase::Down) {
            cursor.dropWaiting();
            takeBack();
        }
    } else if (!cameraControl.handleKey(*this, key, phase, dt)) {
        handled = options.handleKey(key, phase, dt);
        if (key == '#') {
            cameraControl.setOrbitMode(true);
        }
    }
    if (!handled) {
        return;
    }
    e.consume();
    if (cameraControl.isOrbitMode()) {
        cameraControl.placeOnOrbit(*this);
    }
}

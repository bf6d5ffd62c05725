#include "core/keeper.h"

#include "base/log.h"
#include "core/gameoptions.h"
#include "core/gamesession.h"
#include "core/networksession.h"
#include "core/sporrik.h"
#include "core/system.h"
#include "keep/keptfile.h"
#include "keep/recordfolder.h"
#include "keep/savedgame.h"
#include "scene/watertable.h"
#include "ui/menumain.h"
#include "ui/menunewgame.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

const char* const kSource = "Keeper";
// Holding a camera key changes the settings every frame.
constexpr double kSettingsInterval = 1.0;

std::string describe(const Settings& s) {
    char text[160];
    std::snprintf(text, sizeof text, "camera angle %.2f, elevation %.2f, distance %.1f; caustics %s, fog %s",
                  static_cast<double>(s.camera.azimuth), static_cast<double>(s.camera.elevation),
                  static_cast<double>(s.camera.distance), s.view.caustics ? "on" : "off",
                  s.view.fog ? "on" : "off");
    return text;
}

} // namespace

Keeper::Folders Keeper::Folders::fromEnvironment() {
    const char* home = std::getenv("HOME");
    return {KeptFile::folder(std::getenv("XDG_CONFIG_HOME"), home, ".config"),
            KeptFile::folder(std::getenv("XDG_STATE_HOME"), home, ".local/state"),
            RecordFolder::fromEnvironment()};
}

Keeper::Keeper(Folders folders) : folders(std::move(folders)) {
    if (this->folders.config.empty() || this->folders.state.empty()) {
        log(WARNING, kSource, "neither XDG_CONFIG_HOME, XDG_STATE_HOME nor HOME is set: nothing is kept");
    }
}

std::string Keeper::settingsPath() const {
    return folders.config.empty() ? std::string() : folders.config + "/" + Settings::kFileName;
}

std::string Keeper::gamePath() const {
    return folders.state.empty() ? std::string() : folders.state + "/" + SavedGame::kFileName;
}

void Keeper::loadSettings() {
    const std::string path = settingsPath();
    if (path.empty()) {
        return;
    }
    KeptFile::Contents contents = KeptFile::read(path, Settings::kMaxFileSize);
    if (contents.status == KeptFile::Contents::Status::Missing) {
        return;
    }
    std::string reason = contents.reason;
    std::optional<Settings> settings;
    if (contents.status == KeptFile::Contents::Status::Read) {
        settings = Settings::parse(contents.text, reason);
    }
    if (!settings) {
        KeptFile::refuse(path, reason);
        return;
    }
    loaded = *settings;
    written = loaded;
    System* system = System::instance();
    if (system->getArgument("window") == nullptr) {
        system->setFullscreen(loaded.options.fullScreen);
    }
    log(NOTE, kSource, "settings loaded from " + path + ": " + describe(loaded));
}

void Keeper::attach(Sporrik& p) {
    package = &p;
    apply(loaded);
}

OptionValues Keeper::optionValues(const Settings::Options& kept) {
    OptionValues values;
    values.quality = static_cast<OptionValues::Quality>(kept.quality);
    values.scale = static_cast<OptionValues::Scale>(kept.scale);
    values.fullScreen = kept.fullScreen;
    values.volume = std::min(kept.volume, OptionValues::kVolumeSteps);
    values.moveHints = kept.moveHints;
    values.textSize = static_cast<TextScale::Size>(kept.textSize);
    return values;
}

void Keeper::apply(const Settings& s) {
    GameOptions& gameOptions = package->getOptions();
    OptionValues values = optionValues(s.options);
    const OptionValues now = gameOptions.getOptions();
    System* system = System::instance();
    if (system->getArgument("quality") != nullptr) {
        values.quality = now.quality;
    }
    if (system->getArgument("scale") != nullptr) {
        values.scale = now.scale;
    }
    // The window is open: its kind was chosen before, by the command line or the file.
    values.fullScreen = now.fullScreen;
    gameOptions.applyOptions(values);
    WaterTable& table = package->getWaterTable();
    SceneOptions& view = table.getSceneOptions();
    view.autoBlend = s.view.autoBlend;
    view.caustics = s.view.caustics;
    view.fog = s.view.fog;
    view.addReflection = s.view.addReflection;
    view.models = s.view.models;
    view.fluidOverlay = s.view.fluidOverlay;
    view.blendManual = s.view.blendManual;
    table.setOrbit(s.camera.azimuth, s.camera.elevation, s.camera.distance);
    MenuNewGame& menu = *package->getMainMenu().getNewGameMenu();
    menu.setHumanFlags({s.newGame.human1, s.newGame.human2});
    menu.setLevel(s.newGame.level);
    package->getNetwork().setRememberedServer(s.network.server);
}

Settings Keeper::gather() const {
    Settings s;
    const GameOptions& gameOptions = package->getOptions();
    const OptionValues options = gameOptions.getOptions();
    const GameOptions::Chosen& chosen = gameOptions.getChosen();
    const System* system = System::instance();
    // The command line's choices stay out of the file; whatever the player
    // chooses in the menu goes in, even a value the command line gave too.
    const auto fromCommandLine = [system](const char* argument, bool chosenInMenu) {
        return system->getArgument(argument) != nullptr && !chosenInMenu;
    };
    s.options.quality = fromCommandLine("quality", chosen.quality) ? loaded.options.quality
                                                                   : static_cast<int>(options.quality);
    s.options.fullScreen =
        fromCommandLine("window", chosen.fullScreen) ? loaded.options.fullScreen : options.fullScreen;
    s.options.scale =
        fromCommandLine("scale", chosen.scale) ? loaded.options.scale : static_cast<int>(options.scale);
    s.options.volume = options.volume;
    s.options.moveHints = options.moveHints;
    s.options.textSize = static_cast<int>(options.textSize);
    WaterTable& table = package->getWaterTable();
    const SceneOptions& view = table.getSceneOptions();
    s.view.autoBlend = view.autoBlend;
    s.view.caustics = view.caustics;
    s.view.fog = view.fog;
    s.view.addReflection = view.addReflection;
    s.view.models = view.models;
    s.view.fluidOverlay = view.fluidOverlay;
    s.view.blendManual = view.blendManual;
    const CameraControl& camera = table.getCameraControl();
    s.camera.azimuth = camera.getAzimuth();
    s.camera.elevation = camera.getElevation();
    s.camera.distance = camera.getDistance();
    const MenuNewGame& menu = *package->getMainMenu().getNewGameMenu();
    s.newGame.human1 = menu.getHumanFlags()[0];
    s.newGame.human2 = menu.getHumanFlags()[1];
    s.newGame.level = menu.getLevel();
    s.network.server = package->getNetwork().rememberedServer();
    return s;
}

void Keeper::loadGame() {
    const std::string path = gamePath();
    if (path.empty()) {
        return;
    }
    KeptFile::Contents contents = KeptFile::read(path, SavedGame::kMaxFileSize);
    if (contents.status == KeptFile::Contents::Status::Missing) {
        return;
    }
    std::string reason = contents.reason;
    std::optional<GameBoard::Record> game;
    if (contents.status == KeptFile::Contents::Status::Read) {
        game = SavedGame::parse(contents.text, reason);
    }
    WaterTable& table = package->getWaterTable();
    if (game && !table.resume(*game)) {
        reason = "the board does not take the game";
        game.reset();
    }
    if (!game) {
        KeptFile::refuse(path, reason);
        return;
    }
    GameBoard& board = table.getBoard();
    if (!MenuMain::canContinue(board)) {
        // Decided already: nothing to continue, and the board starts afresh.
        log(NOTE, kSource, path + " holds a finished game: not continued");
        board.setBoardSize(GameBoard::kBoardSize, GameBoard::kBoardSize);
        KeptFile::remove(path);
        return;
    }
    gameKept = true;
    gameText = SavedGame::format(board.record());
    log(NOTE, kSource,
        "kept game loaded from " + path + ": player " + std::to_string(game->toMove) + " to move, figures " +
            std::to_string(board.countFields(GameBoard::kPlayer1)) + ":" +
            std::to_string(board.countFields(GameBoard::kPlayer2)));
}

void Keeper::readSignature(Signature& s) const {
    s.fields.clear();
    if (const GameBoard::Record* aside = package->getSession().getGameAside()) {
        s.fields = aside->fields;
        s.toMove = aside->toMove;
        s.history = static_cast<int>(aside->history.size());
        s.settled = true;
        s.aside = true;
        return;
    }
    s.aside = false;
    GameBoard& board = package->getWaterTable().getBoard();
    for (int y = 0; y < board.getHeight(); ++y) {
        for (int x = 0; x < board.getWidth(); ++x) {
            s.fields.push_back(board.getField(x, y));
        }
    }
    s.toMove = board.getCurrentPlayer() * 2 + (board.isMoveDone() ? 1 : 0);
    s.history = board.countHistory();
    // A last move decides the game only once it has been shown.
    s.settled = board.countPendingMoves() == 0;
}

void Keeper::update(double now) {
    if (package == nullptr) {
        return;
    }
    // After the first frame: the table, loaded then, starts from an empty board.
    if (!gameLoaded) {
        gameLoaded = true;
        loadGame();
        readSignature(lastGame);
        return;
    }
    readSignature(currentGame);
    if (!(currentGame == lastGame)) {
        std::swap(currentGame, lastGame);
        saveGame();
    }
    if (now - lastSettingsWrite >= kSettingsInterval) {
        lastSettingsWrite = now;
        saveSettings();
    }
}

void Keeper::saveAll() {
    if (package == nullptr) {
        return;
    }
    saveSettings();
    // Before the first frame the kept game has not been looked at: it stays.
    if (gameLoaded) {
        saveGame();
    }
}

void Keeper::saveSettings() {
    const Settings current = gather();
    if (current == written || settingsPath().empty()) {
        return;
    }
    // Tried once per change: a folder that cannot be written is not asked every second.
    written = current;
    KeptFile::write(settingsPath(), current.format());
}

void Keeper::saveGame() {
    const std::string path = gamePath();
    if (path.empty()) {
        return;
    }
    GameBoard& board = package->getWaterTable().getBoard();
    // The game in progress stays kept while a demonstration or a replay is shown.
    const GameBoard::Record* aside = package->getSession().getGameAside();
    if (aside != nullptr || MenuMain::canContinue(board)) {
        std::string text = SavedGame::format(aside != nullptr ? *aside : board.record());
        // The last move's display ending changes nothing in the file.
        if (gameKept && text == gameText) {
            return;
        }
        if (KeptFile::write(path, text)) {
            gameKept = true;
            gameText = std::move(text);
        }
    } else if (gameKept) {
        KeptFile::remove(path);
        gameKept = false;
        gameText.clear();
    }
}

#include "core/networksession.h"

#include "base/log.h"
#include "base/version.h"
#include "core/clipboard.h"
#include "core/gamesession.h"
#include "core/main.h"
#include "game/notation.h"
#include "game/playedgame.h"
#include "input/inputevent.h"
#include "keep/gamerecord.h"
#include "keep/keptfile.h"
#include "net/embeddedserver.h"
#include "net/joincode.h"
#include "net/protocol.h"
#include "net/rulesgame.h"
#include "scene/cameracontrol.h"
#include "scene/watertable.h"

#include <algorithm>
#include <ctime>
#include <thread>

namespace {

const char* const kSource = "network";
const char* const kLoopback = "127.0.0.1";
const char* const kBadCode = "A join code has 9 letters and digits, like KTR-4QX-M7P.";
constexpr float kHalfTurn = 3.14159265f;

std::string withPort(const std::string& host, uint16_t port) {
    return port == Protocol::kDefaultPort ? host : host + ":" + std::to_string(port);
}

} // namespace

NetworkSession::NetworkSession(WaterTable& table, Main& application, std::string stateFolder,
                               RecordFolder records, uint16_t hostPort)
    : table(table), application(application), stateFolder(std::move(stateFolder)),
      records(std::move(records)), hostPort(hostPort),
      play(client, table.getBoard(), [this](const GameBoard::Record& game) { this->table.resume(game); }) {
    play.setOnTable(false);
    loadKept();
}

NetworkSession::~NetworkSession() {
    // The friend hears that the host left; the kept file stays for Continue.
    play.leave();
    stopHosting();
}

std::string NetworkSession::keptPath() const {
    return stateFolder.empty() ? std::string() : stateFolder + "/" + KeptNetworkGame::kFileName;
}

void NetworkSession::loadKept() {
    const std::string path = keptPath();
    if (path.empty()) {
        return;
    }
    const KeptFile::Contents contents = KeptFile::read(path, KeptNetworkGame::kMaxFileSize);
    if (contents.status == KeptFile::Contents::Status::Missing) {
        return;
    }
    std::string reason = contents.reason;
    if (contents.status == KeptFile::Contents::Status::Read) {
        keptAtStart = KeptNetworkGame::parse(contents.text, reason);
    }
    if (!keptAtStart) {
        KeptFile::refuse(path, reason);
        return;
    }
    lastKept = keptAtStart;
    log(NOTE, kSource,
        "network game " + JoinCode::format(keptAtStart->code) + " on " + keptAtStart->server.format(0) +
            " kept from an earlier run: player " + std::to_string(keptAtStart->seat) + ", " +
            std::to_string(keptAtStart->moves.size()) + " moves");
}

bool NetworkSession::hasGame() const {
    switch (play.getPhase()) {
    case NetworkPlay::Phase::Playing:
    case NetworkPlay::Phase::Watching:
        return true;
    case NetworkPlay::Phase::Connecting:
        return play.isOnTable();
    case NetworkPlay::Phase::Failed:
        return play.kept().has_value();
    case NetworkPlay::Phase::Idle:
        return keptAtStart.has_value() || (looking && looking->kind == Attempt::Kind::Resume);
    default:
        return false;
    }
}

void NetworkSession::continueGame() {
    const NetworkPlay::Phase phase = play.getPhase();
    std::optional<KeptNetworkGame> game;
    if (phase == NetworkPlay::Phase::Failed) {
        game = play.kept();
    } else if (phase == NetworkPlay::Phase::Idle) {
        game = keptAtStart;
    }
    if (!game) {
        play.setOnTable(true);
        return;
    }
    keptAtStart.reset();
    failureText.clear();
    if (game->hosted && !startHosting(game->server.port)) {
        log(WARNING, kSource, failureText);
        return;
    }
    play.setOnTable(true);
    Attempt attempt;
    attempt.kind = Attempt::Kind::Resume;
    attempt.server = game->server;
    attempt.kept = *game;
    // The kept moves show while the name is looked up.
    table.resume(NetworkPlay::recordOf(game->moves, game->seat));
    begin(std::move(attempt));
    faceOwnSide();
}

void NetworkSession::begin(Attempt attempt) {
    typedServer = attempt.server;
    if (ServerAddress::isNumeric(attempt.server.host)) {
        launch(attempt, attempt.server);
        return;
    }
    attempt.lookup = std::make_shared<Attempt::Lookup>();
    std::thread([lookup = attempt.lookup, host = attempt.server.host] {
        std::optional<std::string> address = ServerAddress::resolve(host);
        const std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->address = std::move(address);
        lookup->done = true;
    }).detach();
    looking = std::move(attempt);
}

void NetworkSession::followLookup() {
    if (!looking) {
        return;
    }
    std::optional<std::string> address;
    {
        const std::lock_guard<std::mutex> lock(looking->lookup->mutex);
        if (!looking->lookup->done) {
            return;
        }
        address = looking->lookup->address;
    }
    const Attempt attempt = std::move(*looking);
    looking.reset();
    if (!address) {
        failureText = "Unknown host \"" + attempt.server.host + "\": no machine is known by that name.";
        log(WARNING, kSource, failureText);
        if (attempt.kind == Attempt::Kind::Resume) {
            // The game stays kept: the name may be known again later.
            keptAtStart = attempt.kept;
        }
        if (!application.menusVisible() && screens) {
            screens(Screen::Failure);
        }
        return;
    }
    launch(attempt, {*address, attempt.server.port});
}

void NetworkSession::launch(const Attempt& attempt, const ServerAddress& address) {
    switch (attempt.kind) {
    case Attempt::Kind::Create:
        // Swapping sides makes the game again on the address looked up.
        createdOn = address;
        play.create(address, hostSeat, false);
        break;
    case Attempt::Kind::Join:
        play.join(address, attempt.code);
        break;
    case Attempt::Kind::Watch:
        play.watch(address, attempt.code);
        break;
    case Attempt::Kind::Resume: {
        KeptNetworkGame kept = attempt.kept;
        kept.server = address;
        play.resume(kept);
        break;
    }
    }
}

void NetworkSession::putAside() {
    if (play.isOnTable() && play.getPhase() != NetworkPlay::Phase::Idle) {
        log(NOTE, kSource, "network game put aside");
    }
    play.setOnTable(false);
}

void NetworkSession::leaveGame() {
    const NetworkPlay::Phase phase = play.getPhase();
    if (phase == NetworkPlay::Phase::Idle && !keptAtStart && !looking) {
        return;
    }
    if (phase == NetworkPlay::Phase::Playing && !play.game().moves().empty()) {
        keepRecord(false);
    }
    log(NOTE, kSource, "network game left");
    play.leave();
    play.setOnTable(false);
    looking.reset();
    stopHosting();
    forgetKept();
    lastPhase = NetworkPlay::Phase::Idle;
}

void NetworkSession::reset() {
    leaveGame();
    failureText.clear();
    recordKept = false;
    recordPath.clear();
}

bool NetworkSession::startHosting(uint16_t port) {
    if (hosted && hosted->isRunning() && (port == 0 || hosted->port() == port)) {
        return true;
    }
    stopHosting();
    Server::Options options;
    options.port = port;
    hosted = std::make_unique<EmbeddedServer>(options);
    if (!hosted->start()) {
        failureText = "This machine cannot host a game: " + hosted->error();
        hosted.reset();
        return false;
    }
    log(NOTE, kSource, "hosting on UDP port " + std::to_string(hosted->port()));
    return true;
}

void NetworkSession::stopHosting() {
    if (hosted) {
        hosted->stop();
        hosted.reset();
    }
}

NetworkHost::Phase NetworkSession::networkPhase() const {
    if (looking) {
        return Phase::Connecting;
    }
    switch (play.getPhase()) {
    case NetworkPlay::Phase::Connecting:
        return Phase::Connecting;
    case NetworkPlay::Phase::Waiting:
        return Phase::Waiting;
    case NetworkPlay::Phase::Playing:
    case NetworkPlay::Phase::Finished:
        return Phase::Playing;
    case NetworkPlay::Phase::Watching:
        return Phase::Watching;
    case NetworkPlay::Phase::Failed:
    case NetworkPlay::Phase::Idle:
        break;
    }
    // A failure named once and cleared leaves the menus free for the next try.
    return failureText.empty() ? Phase::Idle : Phase::Failed;
}

std::string NetworkSession::hostGame() {
    reset();
    if (!startHosting(hostPort)) {
        log(WARNING, kSource, failureText);
        return failureText;
    }
    createdHere = true;
    createdOn = {kLoopback, hosted->port()};
    play.create(createdOn, hostSeat, true);
    return std::string();
}

std::string NetworkSession::createOnServer(const std::string& address) {
    std::string reason;
    const std::optional<ServerAddress> server = ServerAddress::parse(address, Protocol::kDefaultPort, reason);
    if (!server) {
        return reason;
    }
    reset();
    createdHere = false;
    createdOn = *server;
    createdName = *server;
    Attempt attempt;
    attempt.kind = Attempt::Kind::Create;
    attempt.server = *server;
    begin(std::move(attempt));
    return std::string();
}

std::string NetworkSession::joinGame(const std::string& address, const std::string& code) {
    return beginByCode(Attempt::Kind::Join, address, code);
}

std::string NetworkSession::watchGame(const std::string& address, const std::string& code) {
    return beginByCode(Attempt::Kind::Watch, address, code);
}

std::string NetworkSession::beginByCode(Attempt::Kind kind, const std::string& address,
                                        const std::string& code) {
    std::string reason;
    const std::optional<ServerAddress> server = ServerAddress::parse(address, Protocol::kDefaultPort, reason);
    if (!server) {
        return reason;
    }
    const std::optional<std::string> canonical = JoinCode::parse(code);
    if (!canonical) {
        return kBadCode;
    }
    reset();
    Attempt attempt;
    attempt.kind = kind;
    attempt.server = *server;
    attempt.code = *canonical;
    begin(std::move(attempt));
    return std::string();
}

void NetworkSession::cancelNetworkGame() {
    const bool shown = play.isOnTable();
    reset();
    if (shown) {
        // The game given up leaves nothing on the table.
        table.getBoard().setBoardSize(GameBoard::kBoardSize, GameBoard::kBoardSize);
        table.showBoardAtOnce();
    }
}

void NetworkSession::swapSides() {
    hostSeat = hostSeat == GameBoard::kPlayer1 ? GameBoard::kPlayer2 : GameBoard::kPlayer1;
    const NetworkPlay::Phase phase = play.getPhase();
    if (phase == NetworkPlay::Phase::Waiting || phase == NetworkPlay::Phase::Connecting) {
        // The game made is left empty; the server ends it as abandoned in time.
        play.create(createdOn, hostSeat, createdHere);
    }
}

int NetworkSession::ownSeat() const {
    return play.getSeat() != 0 ? play.getSeat() : hostSeat;
}

std::vector<std::string> NetworkSession::reachableAt() const {
    std::vector<std::string> where;
    if (!createdHere) {
        where.push_back(createdName.format(Protocol::kDefaultPort));
        return where;
    }
    const uint16_t port = hosted ? hosted->port() : hostPort;
    for (const std::string& address : LanDiscovery::localAddresses()) {
        where.push_back(withPort(address, port));
    }
    if (where.empty()) {
        where.push_back(withPort(kLoopback, port));
    }
    return where;
}

std::string NetworkSession::statusText() const {
    if (looking) {
        return "connecting to " + looking->server.format(Protocol::kDefaultPort) + "\u2026";
    }
    return play.connectionLine();
}

void NetworkSession::searchLan() {
    lastRound = search.found();
    if (!search.start(Version::kProtocol)) {
        log(WARNING, kSource, "no socket to ask the local network for games");
    }
}

std::vector<NetworkHost::LanGame> NetworkSession::lanGames() const {
    std::vector<LanGame> games;
    const auto add = [&games](const LanDiscovery::Search::Found& found) {
        const std::string code = JoinCode::format(found.game.code);
        const bool known = std::any_of(games.begin(), games.end(),
                                       [&code](const LanGame& game) { return game.code == code; });
        if (!known) {
            games.push_back({found.game.name + "  " + code, withPort(found.address, found.game.port), code});
        }
    };
    std::for_each(search.found().begin(), search.found().end(), add);
    std::for_each(lastRound.begin(), lastRound.end(), add);
    return games;
}

std::string NetworkSession::clipboardText() {
    return Clipboard::text();
}

bool NetworkSession::showsNetworkGame() const {
    return play.isOnTable() && play.getPhase() != NetworkPlay::Phase::Idle;
}

void NetworkSession::render(double elapsed, float) {
    clock += elapsed;
    followLookup();
    play.update(clock);
    const size_t known = search.found().size();
    search.poll();
    for (size_t i = known; i < search.found().size(); ++i) {
        const LanDiscovery::Search::Found& found = search.found()[i];
        log(NOTE, kSource,
            "on the local network: " + found.game.name + " hosts " + JoinCode::format(found.game.code) +
                " at " + withPort(found.address, found.game.port));
    }
    followPhase();
    keep();
    logCounts();
    if (hosted) {
        if (play.getPhase() == NetworkPlay::Phase::Waiting && createdHere && !play.getJoinCode().empty()) {
            hosted->advertise(*JoinCode::parse(play.getJoinCode()));
        } else {
            hosted->withdraw();
        }
    }
}

void NetworkSession::followPhase() {
    using P = NetworkPlay::Phase;
    const P phase = play.getPhase();
    if (phase == lastPhase) {
        return;
    }
    const P before = lastPhase;
    lastPhase = phase;
    // In a game from getting in (or from a failure or nothing, should a frame
    // have passed by Connecting unseen).
    const auto inGame = [](P p) {
        return p == P::Waiting || p == P::Playing || p == P::Watching;
    };
    const bool entered = inGame(phase) && !inGame(before) && before != P::Finished;
    if (entered) {
        if (!createdHere || play.getSeat() == 0) {
            remembered = typedServer.format(Protocol::kDefaultPort);
        }
        if (!play.isOnTable()) {
            if (gameSession != nullptr) {
                gameSession->enterNetwork();
            }
            play.setOnTable(true);
            faceOwnSide();
            log(NOTE, kSource, "network game on the table");
        }
        if (phase == P::Waiting && !application.menusVisible() && screens) {
            screens(Screen::Waiting);
        }
    }
    if (phase == P::Failed) {
        failureText = play.getFailure();
        if (!play.kept()) {
            forgetKept();
        }
        // The server here of a game still kept stays up for Continue.
        if (!play.kept()) {
            stopHosting();
        }
        if (!application.menusVisible() && play.isOnTable() && screens) {
            screens(Screen::Failure);
        }
    }
    if (phase == P::Finished) {
        keepRecord(true);
        forgetKept();
    }
}

void NetworkSession::keep() {
    if (stateFolder.empty()) {
        return;
    }
    const std::optional<KeptNetworkGame> game = play.kept();
    if (!game || (lastKept && *game == *lastKept)) {
        return;
    }
    if (KeptFile::write(keptPath(), game->format())) {
        lastKept = game;
    }
}

void NetworkSession::forgetKept() {
    keptAtStart.reset();
    if (lastKept && !stateFolder.empty()) {
        KeptFile::remove(keptPath());
    }
    lastKept.reset();
}

void NetworkSession::keepRecord(bool finished) {
    const int seat = play.getSeat();
    if (seat == 0 || (recordKept && finished)) {
        return;
    }
    GameRecord record;
    for (const std::string& text : play.game().moves()) {
        if (const std::optional<Move> move = Notation::parseMove(text)) {
            record.moves.push_back(*move);
        }
    }
    std::string reason;
    const std::optional<PlayedGame> played = PlayedGame::replay(record.moves, reason);
    if (!played || record.moves.empty()) {
        return;
    }
    GameRecord described = GameRecord::describe(*played);
    described.date = GameRecord::dateOf(std::time(nullptr));
    for (int player = GameBoard::kPlayer1; player <= GameBoard::kPlayer2; ++player) {
        described.human[static_cast<size_t>(player - 1)] = player == seat;
        described.remote[static_cast<size_t>(player - 1)] = player != seat;
    }
    const std::string path = records.write(described, recordPath);
    if (!path.empty()) {
        log(NOTE, kSource,
            std::string(finished ? "finished" : "unfinished") + " network game kept as " + path);
        recordPath = path;
        recordKept = finished;
    }
}

void NetworkSession::logCounts() {
    const NetworkPlay::Phase phase = play.getPhase();
    if (!play.isOnTable() || table.isShowingMoves() ||
        (phase != NetworkPlay::Phase::Playing && phase != NetworkPlay::Phase::Watching &&
         phase != NetworkPlay::Phase::Finished)) {
        return;
    }
    const GameBoard& board = table.getBoard();
    const int moves = static_cast<int>(board.getMoves().size());
    const int first = board.getFigureCount(GameBoard::kPlayer1);
    const int second = board.getFigureCount(GameBoard::kPlayer2);
    if (moves == loggedMoves && first == loggedCounts[0] && second == loggedCounts[1]) {
        return;
    }
    loggedMoves = moves;
    loggedCounts[0] = first;
    loggedCounts[1] = second;
    // What the heads-up display shows, for a look from outside the game.
    log(NOTE, kSource,
        "table shows move " + std::to_string(moves) + ": figures " + std::to_string(first) + ":" +
            std::to_string(second));
}

void NetworkSession::faceOwnSide() {
    // Player 2 looks at the board from the other side, its own corner near.
    const CameraControl& camera = table.getCameraControl();
    const float azimuth =
        CameraControl::kInitialAzimuth + (ownSeat() == GameBoard::kPlayer2 ? kHalfTurn : 0.0f);
    table.setOrbit(azimuth, camera.getElevation(), camera.getDistance());
}

void NetworkSession::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (key == nullptr || application.menusVisible() || !showsNetworkGame()) {
        return;
    }
    const int k = key->getKey();
    const bool down = dynamic_cast<const InputEventKeyDown*>(&e) != nullptr;
    if (k == KeyBackspace || k == KeyCtrlZ) {
        // Never the table's own take-back: the other side answers.
        e.consume();
        if (down && !play.askTakeBack()) {
            log(NOTE, kSource, "no take-back to ask for now");
        }
        return;
    }
    if ((k == 'y' || k == 'Y' || k == 'n' || k == 'N') && play.isAskedToTakeBack()) {
        e.consume();
        if (down) {
            play.answerTakeBack(k == 'y' || k == 'Y');
        }
    }
}

#include "core/gamesession.h"

#include "base/log.h"
#include "core/main.h"
#include "core/networksession.h"
#include "game/notation.h"
#include "input/inputevent.h"
#include "scene/watertable.h"
#include "ui/menumain.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace {

const char* const kSource = "GameSession";
const char* const kThinking = "The coach is thinking";
const char* const kNoTip = "The coach sees no move";
constexpr int kSpace = ' ';

bool hasHuman(const std::array<bool, 2>& human) {
    return human[0] || human[1];
}

std::string move(const Move& m) {
    return Notation::move(m);
}

} // namespace

GameSession::GameSession(WaterTable& table, Main& application, RecordFolder records)
    : table(table), application(application), records(std::move(records)) {}

GameSession::~GameSession() {
    coach.cancel();
}

GameBoard& GameSession::board() {
    return table.getBoard();
}

const GameBoard& GameSession::board() const {
    return table.getBoard();
}

bool GameSession::boardContinuable() const {
    return mode == Mode::Play && MenuMain::canContinue(board());
}

bool GameSession::canContinue() const {
    return (network != nullptr && network->hasGame()) || aside.has_value() || boardContinuable();
}

void GameSession::enterNetwork() {
    leaveGame();
    endReview();
    clearCoach();
    mode = Mode::Network;
}

void GameSession::continueGame() {
    if (network != nullptr && network->hasGame()) {
        endReview();
        clearCoach();
        mode = Mode::Network;
        network->continueGame();
        return;
    }
    if (!aside) {
        return;
    }
    GameBoard::Record game = std::move(*aside);
    aside.reset();
    endReview();
    clearCoach();
    mode = Mode::Play;
    if (!table.resume(game)) {
        log(WARNING, kSource, "the game put aside does not fit the board any more");
    }
}

void GameSession::startGame(const std::array<bool, 2>& human, int level) {
    if (network != nullptr) {
        network->leaveGame();
    }
    leaveGame();
    endReview();
    clearCoach();
    mode = Mode::Play;
    GameBoard& b = board();
    b.setHuman(GameBoard::kPlayer1, human[0]);
    b.setHuman(GameBoard::kPlayer2, human[1]);
    b.setDifficulty(level);
    b.newGame();
}

void GameSession::startDemo() {
    putAside();
    endReview();
    clearCoach();
    mode = Mode::Demo;
    GameBoard& b = board();
    b.setHuman(GameBoard::kPlayer1, false);
    b.setHuman(GameBoard::kPlayer2, false);
    b.setDifficulty(GameBoard::kHard);
    b.newGame();
}

void GameSession::startFluidDemo() {
    putAside();
    endReview();
    clearCoach();
    mode = Mode::FluidDemo;
    // The board as before any game: no figures, no counts.
    board().setBoardSize(GameBoard::kBoardSize, GameBoard::kBoardSize);
    table.showBoardAtOnce();
}

void GameSession::putAside() {
    if (mode == Mode::Network && network != nullptr) {
        network->putAside();
        return;
    }
    if (boardContinuable()) {
        aside = board().record();
    }
}

void GameSession::leaveGame() {
    std::optional<GameBoard::Record> game;
    if (aside) {
        game = std::move(aside);
    } else if (boardContinuable()) {
        game = board().record();
    }
    aside.reset();
    const bool upToDate = game && !kept.path.empty() && kept.moves == static_cast<int>(game->moves.size());
    if (game && !game->moves.empty() && !upToDate) {
        keep(*game, false);
    }
    kept = Kept();
}

void GameSession::keep(const GameBoard::Record& game, bool finished) {
    const int moves = static_cast<int>(game.moves.size());
    std::string reason;
    const std::optional<PlayedGame> played = PlayedGame::replay(game.moves, reason);
    // A game continued from a file of an earlier build lacks its first moves.
    if (!played || played->fieldsAfter(played->countMoves()) != game.fields) {
        log(NOTE, kSource, "the moves of this game are not all known: it is not kept as a record");
        kept = {std::string(), moves, finished};
        return;
    }
    GameRecord record = GameRecord::describe(*played);
    record.date = GameRecord::dateOf(std::time(nullptr));
    record.human = game.human;
    record.level = game.difficulty;
    const std::string path = records.write(record, kept.path);
    if (!path.empty()) {
        log(NOTE, kSource, std::string(finished ? "finished" : "unfinished") + " game kept as " + path);
    }
    kept = {path, moves, finished};
}

void GameSession::keepFinishedGame() {
    if (mode != Mode::Play) {
        return;
    }
    const GameBoard& b = board();
    const int player = b.getCurrentPlayer();
    const bool human = b.isHuman(GameBoard::kPlayer1) || b.isHuman(GameBoard::kPlayer2);
    if ((player != GameBoard::kPlayer1 && player != GameBoard::kPlayer2) || !human ||
        b.countPendingMoves() > 0) {
        return;
    }
    const int moves = static_cast<int>(b.getMoves().size());
    if (moves == 0 || (kept.finished && kept.moves == moves)) {
        return;
    }
    // Asked of the fields: the board's own winner() draws random numbers at
    // the easy level.
    if (CompactPosition::fromBoard(b, player).winner() != 0) {
        keep(b.record(), true);
    }
}

std::vector<std::string> GameSession::listGames() {
    listed = records.list();
    std::vector<std::string> lines;
    lines.reserve(listed.size());
    for (const RecordFolder::Entry& entry : listed) {
        lines.push_back(entry.record.summary());
    }
    return lines;
}

bool GameSession::openGame(int index) {
    if (index < 0 || index >= static_cast<int>(listed.size())) {
        return false;
    }
    // Read again: the file may have changed since the list was made.
    std::string reason;
    const std::optional<GameRecord> record =
        RecordFolder::read(listed[static_cast<size_t>(index)].path, reason);
    if (!record) {
        return false;
    }
    openRecord(*record, false);
    return true;
}

bool GameSession::openFile(const std::string& path) {
    std::string reason;
    const std::optional<GameRecord> record = RecordFolder::read(path, reason);
    if (!record) {
        log(WARNING, kSource, path + " refused: " + reason);
        return false;
    }
    openRecord(*record, false);
    application.leaveMenus();
    log(NOTE, kSource, "showing " + path + ": " + record->summary());
    return true;
}

void GameSession::openRecord(const GameRecord& record, bool reviewLive) {
    std::string reason;
    std::optional<PlayedGame> played = PlayedGame::replay(record.moves, reason);
    if (!played) {
        return;
    }
    putAside();
    clearCoach();
    line = std::move(played);
    setEntries(line->getMoves());
    reviewed = record;
    live = reviewLive;
    autoplay = false;
    mode = Mode::Review;
    shown = 0;
    showAt(0, false);
}

void GameSession::endReview() {
    line.reset();
    live = false;
    autoplay = false;
    shown = 0;
}

void GameSession::showAt(int n, bool animate) {
    if (!line) {
        return;
    }
    const int total = line->countMoves();
    n = std::clamp(n, 0, total);
    clearCoach();
    // The last move of the game in progress is the game itself.
    if (live && n == total) {
        continueGame();
        return;
    }
    GameBoard& b = board();
    const std::vector<PlayedGame::Step>& steps = line->getSteps();
    const auto lastMoveAt = [&](int count) {
        return count > 0 ? steps[static_cast<size_t>(count - 1)].move : Move();
    };
    if (animate && n == shown + 1) {
        const bool busy = table.isShowingMoves();
        b.showPosition(line->fieldsAfter(shown), line->positionAfter(shown).toMove());
        // A move still under way ends at once: the next one starts from its end.
        if (busy) {
            table.showBoardAtOnce(lastMoveAt(shown));
        }
        const Move& m = steps[static_cast<size_t>(shown)].move;
        b.performMove(m.fromX, m.fromY, m.toX, m.toY);
    } else {
        b.showPosition(line->fieldsAfter(n), line->positionAfter(n).toMove());
        table.showBoardAtOnce(lastMoveAt(n));
    }
    shown = n;
}

void GameSession::stepForward() {
    autoplay = false;
    showAt(shown + 1, true);
}

void GameSession::stepBack() {
    autoplay = false;
    showAt(shown - 1, false);
}

void GameSession::showStart() {
    autoplay = false;
    showAt(0, false);
}

void GameSession::showEnd() {
    autoplay = false;
    if (line) {
        showAt(line->countMoves(), false);
    }
}

void GameSession::toggleAutoplay() {
    if (mode != Mode::Review || !line) {
        return;
    }
    if (!autoplay && shown >= line->countMoves()) {
        showAt(0, false);
    }
    autoplay = !autoplay;
    pause = 0.0;
}

void GameSession::followAutoplay(double elapsed) {
    if (!autoplay || mode != Mode::Review || !line || application.menusVisible()) {
        return;
    }
    if (table.isShowingMoves()) {
        pause = 0.0;
        return;
    }
    pause += elapsed;
    if (pause < kAutoplayPause) {
        return;
    }
    pause = 0.0;
    if (shown >= line->countMoves()) {
        autoplay = false;
        return;
    }
    showAt(shown + 1, true);
}

bool GameSession::showsGame() const {
    const int player = board().getCurrentPlayer();
    return mode == Mode::Review ||
           (mode != Mode::FluidDemo && (player == GameBoard::kPlayer1 || player == GameBoard::kPlayer2));
}

int GameSession::getShownMoves() const {
    return mode == Mode::Review ? shown : static_cast<int>(entries.size());
}

std::string GameSession::getCaption() const {
    if (mode != Mode::Review || !line) {
        return std::string();
    }
    const std::string where = "move " + std::to_string(shown) + " of " + std::to_string(line->countMoves());
    if (live) {
        return "Looking back: " + where + " - End returns to the game";
    }
    return "Replay: " + where + (autoplay ? " - Space stops" : " - Left, Right, Home, End, Space");
}

void GameSession::showMoves(int count) {
    if (mode == Mode::Review) {
        autoplay = false;
        showAt(count, false);
        return;
    }
    const std::vector<Move>& moves = board().getMoves();
    if (!boardContinuable() || count < 0 || count >= static_cast<int>(moves.size())) {
        return;
    }
    GameRecord game;
    game.moves = moves;
    game.human = {board().isHuman(GameBoard::kPlayer1), board().isHuman(GameBoard::kPlayer2)};
    game.level = board().getDifficulty();
    std::string reason;
    if (!PlayedGame::replay(game.moves, reason)) {
        return;
    }
    openRecord(game, true);
    showAt(count, false);
}

bool GameSession::canPlayFromHere() const {
    return mode == Mode::Review && !live && line && line->positionAfter(shown).winner() == 0;
}

void GameSession::playFromHere() {
    if (!canPlayFromHere()) {
        return;
    }
    GameBoard::Record game;
    game.fields = line->fieldsAfter(shown);
    game.toMove = line->positionAfter(shown).toMove();
    // A network game's remote side is played at this table from here on.
    game.human = {reviewed.human[0] || reviewed.remote[0], reviewed.human[1] || reviewed.remote[1]};
    game.difficulty = reviewed.level;
    const std::vector<PlayedGame::Step>& steps = line->getSteps();
    for (int i = 0; i < shown; ++i) {
        const PlayedGame::Step& step = steps[static_cast<size_t>(i)];
        // A person's move was made with its figure selected, as take-back restores it.
        const bool human = game.human[static_cast<size_t>(step.mover - 1)];
        game.history.push_back(
            {line->fieldsAfter(i), human ? step.move.fromX : -1, human ? step.move.fromY : -1, step.mover});
        game.moves.push_back(step.move);
    }
    // The board keeps positions to take back only while a human plays.
    if (!hasHuman(game.human)) {
        game.history.clear();
    }
    if (network != nullptr) {
        network->leaveGame();
    }
    leaveGame();
    endReview();
    clearCoach();
    mode = Mode::Play;
    if (!table.resume(game)) {
        log(WARNING, kSource, "the position shown does not fit the board");
    }
}

std::vector<int32_t> GameSession::boardFields() const {
    std::vector<int32_t> fields;
    const GameBoard& b = board();
    for (int y = 0; y < b.getHeight(); ++y) {
        for (int x = 0; x < b.getWidth(); ++x) {
            fields.push_back(b.getField(x, y));
        }
    }
    return fields;
}

void GameSession::askCoach() {
    GameBoard& b = board();
    const int player = b.getCurrentPlayer();
    CompactPosition position;
    if (mode == Mode::Review && line) {
        position = line->positionAfter(shown);
        coachPlayed = shown < line->countMoves() ? line->getSteps()[static_cast<size_t>(shown)].move : Move();
        coachInReview = true;
    } else if (boardContinuable() && b.isHuman(player) && !b.isMoveDone()) {
        position = CompactPosition::fromBoard(b, player);
        coachPlayed = Move();
        coachInReview = false;
    } else {
        return;
    }
    clearCoach();
    coachFields = boardFields();
    coachPlayer = position.toMove();
    if (!position.hasMove(position.toMove())) {
        coachText = kNoTip;
        return;
    }
    coach.ask(position);
    coachText = kThinking;
}

void GameSession::clearCoach() {
    coach.cancel();
    coachText.clear();
    coachFields.clear();
    table.clearTip();
}

void GameSession::followCoach() {
    if (coachFields.empty()) {
        return;
    }
    // A tip holds for the position it was asked about, and only while it is shown.
    const GameBoard& b = board();
    const bool same =
        boardFields() == coachFields &&
        (coachInReview ? mode == Mode::Review
                       : mode == Mode::Play && b.getCurrentPlayer() == coachPlayer && !b.isMoveDone());
    if (!same) {
        clearCoach();
        return;
    }
    const std::optional<Coach::Tip> tip = coach.takeTip();
    if (!tip) {
        return;
    }
    if (tip->move.type == 0) {
        coachText = kNoTip;
        return;
    }
    table.setTip(tip->move, tip->won);
    // Two lines: the move, then the judgement.
    const std::string tipped = move(tip->move) + " (+" + std::to_string(tip->won.size()) + ")";
    std::string first = "Tip: " + tipped;
    if (coachInReview) {
        first = "The expert would play " + tipped;
        if (coachPlayed.type != 0) {
            first += move(coachPlayed) == move(tip->move) ? " as played" : ", not " + move(coachPlayed);
        }
    }
    coachText = first + "\n" + Coach::judgement(*tip, coachPlayer);
}

void GameSession::refreshEntries() {
    // A review's moves are set when it begins; the board's are followed.
    if (mode == Mode::Review || board().getMoves() == entriesFrom) {
        return;
    }
    setEntries(board().getMoves());
}

void GameSession::setEntries(const std::vector<Move>& moves) {
    entriesFrom = moves;
    entries.clear();
    std::string reason;
    const std::optional<PlayedGame> played = PlayedGame::replay(moves, reason);
    if (!played) {
        return;
    }
    for (const PlayedGame::Step& step : played->getSteps()) {
        entries.push_back({move(step.move), step.won});
    }
}

void GameSession::render(double elapsed, float) {
    refreshEntries();
    keepFinishedGame();
    followCoach();
    followAutoplay(elapsed);
}

void GameSession::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKey*>(&e);
    if (key == nullptr || application.menusVisible()) {
        return;
    }
    const int k = key->getKey();
    const bool down = dynamic_cast<const InputEventKeyDown*>(&e) != nullptr;
    if (k == 't' || k == 'T' || k == '?') {
        e.consume();
        if (down) {
            askCoach();
        }
        return;
    }
    if (mode != Mode::Review) {
        return;
    }
    // In a replay the arrows step through the game instead of turning the camera.
    void (GameSession::*step)() = nullptr;
    switch (k) {
    case KeyArrowRight:
        step = &GameSession::stepForward;
        break;
    case KeyArrowLeft:
        step = &GameSession::stepBack;
        break;
    case KeyHome:
        step = &GameSession::showStart;
        break;
    case KeyEnd:
        step = &GameSession::showEnd;
        break;
    case kSpace:
        step = &GameSession::toggleAutoplay;
        break;
    default:
        return;
    }
    e.consume();
    if (down) {
        (this->*step)();
    }
}

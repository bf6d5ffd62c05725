#pragma once

#include "game/coach.h"
#include "game/gameboard.h"
#include "game/playedgame.h"
#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "keep/gamerecord.h"
#include "keep/recordfolder.h"
#include "ui/gamehost.h"
#include "ui/gameview.h"

#include <optional>
#include <string>
#include <vector>

class Main;
class NetworkSession;
class WaterTable;

// The game in progress and what the table shows instead of it: a
// demonstration, the scene alone, an earlier position of the game or a kept
// game replayed. Meanwhile the game in progress is put aside whole and taken
// up again exactly where it was. Every game with a human player is kept as a
// record when it ends, and when it is left for a new one. A node of the
// render graph that draws nothing: it takes the coach's and the replay's
// keys before the table, and follows the game each frame.
class GameSession : public GameHost, public GameView, public RenderNode, public EventConsumer {
public:
    // Network: a game played or watched across the network is on the table.
    enum class Mode { Play, Demo, FluidDemo, Review, Network };

    // Between two moves of a replay played through with Space.
    static constexpr double kAutoplayPause = 0.8;

    // table and application: not owned, outlive the session.
    GameSession(WaterTable& table, Main& application, RecordFolder records);
    ~GameSession() override;

    // network: not owned, may be null; its game is the one continued while it has one.
    void setNetwork(NetworkSession* session) { network = session; }
    // A network game begins on the table: the game in progress here is left
    // for it, kept as a record as for a new game.
    void enterNetwork();

    // GameHost
    bool canContinue() const override;
    void continueGame() override;
    void startGame(const std::array<bool, 2>& human, int level) override;
    void startDemo() override;
    void startFluidDemo() override;
    std::vector<std::string> listGames() override;
    bool openGame(int index) override;

    // GameView
    bool showsGame() const override;
    const std::vector<Entry>& getMoveEntries() const override { return entries; }
    int getShownMoves() const override;
    std::string getCaption() const override;
    std::string getCoachText() const override { return coachText; }
    void showMoves(int count) override;
    bool canPlayFromHere() const override;
    void playFromHere() override;

    // Shows a record on the table to step through, the menus gone (the
    // command line's --replay); false, with a warning naming the file and
    // the reason, when it is refused. The file is left as it is.
    bool openFile(const std::string& path);
    // Steps the shown record: by one move (the move shown as it is played),
    // to the start or the end; Space plays it through.
    void stepForward();
    void stepBack();
    void showStart();
    void showEnd();
    void toggleAutoplay();
    // The expert's tip for the human to move, or in a replay for the
    // position shown (what it would play instead of the recorded move).
    void askCoach();

    // The game in progress while something else is on the table; null
    // while it is on the table itself (or there is none).
    const GameBoard::Record* getGameAside() const { return aside ? &*aside : nullptr; }
    Mode getMode() const { return mode; }
    bool isAutoplaying() const { return autoplay; }
    const RecordFolder& getRecords() const { return records; }

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    void handleEvent(InputEvent& e) override;

private:
    // What was last written of the game in progress.
    struct Kept {
        std::string path;
        int moves = -1;
        bool finished = false;
    };

    GameBoard& board();
    const GameBoard& board() const;
    // The game on the table is one with a human player, still running.
    bool boardContinuable() const;
    // The game in progress leaves the table, kept whole in aside.
    void putAside();
    // The game in progress is left for a new one: kept as a record unless
    // that record is already up to date, then forgotten.
    void leaveGame();
    // Writes game as a record; nothing when its moves are not all known.
    void keep(const GameBoard::Record& game, bool finished);
    void keepFinishedGame();
    void openRecord(const GameRecord& record, bool live);
    // The table shows the position after n moves of the reviewed game,
    // played as an animation when it is the next one.
    void showAt(int n, bool animate);
    void endReview();
    void refreshEntries();
    // The list of moves the screens show: those moves with what each won.
    void setEntries(const std::vector<Move>& moves);
    void clearCoach();
    void followCoach();
    void followAutoplay(double elapsed);
    std::vector<int32_t> boardFields() const;

    WaterTable& table;                 // not owned: the package's scene
    Main& application;                 // not owned: shows the menus
    NetworkSession* network = nullptr; // not owned: the package's, may be null
    RecordFolder records;
    Mode mode = Mode::Play;
    std::optional<GameBoard::Record> aside;
    Kept kept;

    // The game reviewed: a kept record, or the game in progress (live).
    std::optional<PlayedGame> line;
    GameRecord reviewed;
    bool live = false;
    int shown = 0;
    bool autoplay = false;
    double pause = 0.0;

    std::vector<RecordFolder::Entry> listed;
    std::vector<Entry> entries;
    std::vector<Move> entriesFrom;

    Coach coach;
    // What the coach was asked about: the position, and in a replay the
    // move that was played there.
    std::vector<int32_t> coachFields;
    int coachPlayer = 0;
    Move coachPlayed;
    bool coachInReview = false;
    std::string coachText;
};

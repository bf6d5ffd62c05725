#include "game/gameboard.h"
#include "game/notation.h"
#include "keep/gamerecord.h"
#include "keep/recordfolder.h"
#include "support/assettest.h"
#include "support/logcapture.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr std::time_t kDate = 1700000000; // 2023-11-14T22:13:20Z

GameRecord recordOf(const std::vector<Move>& moves, std::array<bool, 2> human, int level) {
    std::string reason;
    const std::optional<PlayedGame> played = PlayedGame::replay(moves, reason);
    EXPECT_TRUE(played) << reason;
    GameRecord record = GameRecord::describe(*played);
    record.date = GameRecord::dateOf(kDate);
    record.human = human;
    record.level = level;
    return record;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Two computers play to the end; the game is kept in the folder, listed and
// read back, and its moves replay to the board's own counts and winner.
TEST(GameRecord, FinishedGameKeptAndReadBack_ReplaysToTheBoardsFinalCounts) {
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        GameBoard board;
        board.setDifficulty(level);
        board.newGame();
        while (board.popMove()) {
        }
        ASSERT_NE(board.winner(), 0);
        const GameRecord written = recordOf(board.getMoves(), {false, true}, level);
        const TempDir dir;
        RecordFolder folder(dir.path());
        ASSERT_FALSE(folder.write(written).empty());
        const std::vector<RecordFolder::Entry> listed = folder.list();
        ASSERT_EQ(listed.size(), 1u);
        const GameRecord& read = listed[0].record;
        EXPECT_EQ(GameRecord::format(read), GameRecord::format(written));
        std::string reason;
        const std::optional<PlayedGame> replayed = PlayedGame::replay(read.moves, reason);
        ASSERT_TRUE(replayed) << reason;
        EXPECT_EQ(replayed->finalCount(GameBoard::kPlayer1), board.countFields(GameBoard::kPlayer1));
        EXPECT_EQ(replayed->finalCount(GameBoard::kPlayer2), board.countFields(GameBoard::kPlayer2));
        EXPECT_EQ(replayed->winner(), board.winner());
        EXPECT_EQ(read.human, (std::array<bool, 2>{false, true}));
        EXPECT_EQ(read.level, level);
        EXPECT_EQ(read.date, "2023-11-14T22:13:20Z");
    }
}

std::string replaced(std::string text, const std::string& what, const std::string& by) {
    const size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), by);
}

// Each file is refused with a warning that names it and the reason, kept
// beside as .bad, and left out of the list; the good one stays.
TEST(RecordFolder, DamagedRecords_RefusedWithTheReasonAndKeptAsBad) {
    std::vector<Move> moves;
    for (const char* m : {"a1b2", "i9h8", "b2c3", "h8g7", "c3d4"}) {
        moves.push_back(*Notation::parseMove(m));
    }
    const std::string valid = GameRecord::format(recordOf(moves, {true, false}, GameBoard::kEasy));
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {replaced(valid, "Ending: unfinished\n", ""), "Ending is missing"},
        {replaced(valid, "Moves:", "Date: 2023-11-14T22:13:20Z\nMoves:"), "line 9: Date is given twice"},
        {replaced(valid, "Moves:", "Colour: blue\nMoves:"), "line 9 is not a header line"},
        {replaced(valid, "sporrik-record 1", "sporrik-record 2"), "Format is not sporrik-record 1"},
        {replaced(valid, "2023-11-14", "2023-02-30"), "Date is not a date"},
        {replaced(valid, "computer easy", "computer medium"),
         "Player2 is neither human, remote nor computer easy, hard or expert"},
        {replaced(valid, "Player1: human", "Player1: computer hard"),
         "the two computers play at different levels"},
        {replaced(valid, "Moves: 5", "Moves: 4"), "Moves says 4 but 5 follow"},
        {replaced(valid, "\n3. ", "\n4. "), "move line 3 does not start with 3."},
        {replaced(valid, "i9h8", "a1a2"), "move 2 a1a2 does not start from a figure of player 2"},
        {replaced(valid, "c3d4", "c3z4"), "move line 3: c3z4 is not a move"},
        {replaced(valid, "b2c3 h8g7", "b2c3"), "move line 2 does not hold 2 moves"},
        {replaced(valid, "a1b2 i9h8", "a1b2 i9h8 b2c3"), "move line 1 does not hold 2 moves"},
        {replaced(valid, "Result: unfinished", "Result: player 1 won"),
         "Result is not the moves' result, unfinished"},
        {replaced(valid, "Counts: 4 3", "Counts: 4 4"), "Counts are not the moves' counts"},
        {replaced(valid, "Ending: unfinished", "Ending: board full"),
         "Ending is not the moves' ending, unfinished"},
        {"#" + std::string(GameRecord::kMaxLine, 'x') + "\n" + valid, "line 1 is too long"},
        {replaced(valid, "human", std::string("hu\0man", 6)), "holds a zero byte"},
        {valid + std::string(GameRecord::kMaxFileSize, '#'), "larger than 65536 bytes"},
        {"", "Format is missing"},
    };
    const TempDir dir;
    writeFile(dir.file("good.txt"), valid);
    for (size_t i = 0; i < std::size(cases); ++i) {
        writeFile(dir.file("case" + std::to_string(i) + ".txt"), cases[i].text);
    }
    const LogCapture log;
    const std::vector<RecordFolder::Entry> listed = RecordFolder(dir.path()).list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].path, dir.file("good.txt"));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string path = dir.file("case" + std::to_string(i) + ".txt");
        const std::vector<std::string> messages = joinedMessages(log);
        EXPECT_NE(std::find(messages.begin(), messages.end(), path + " refused: " + cases[i].reason),
                  messages.end())
            << cases[i].reason;
        EXPECT_TRUE(std::filesystem::exists(path + ".bad")) << cases[i].reason;
        EXPECT_FALSE(std::filesystem::exists(path)) << cases[i].reason;
    }
}

// Names sort as the games were kept; beyond the limit the oldest go, and a
// game kept in the same second as another gets a file of its own.
TEST(RecordFolder, KeepsTheNewestThousand_TwoGamesOfOneSecondKeepTheirOwnFiles) {
    const TempDir dir;
    const std::string old = GameRecord::format(recordOf({}, {true, true}, GameBoard::kHard));
    for (int i = 0; i < RecordFolder::kMaxRecords; ++i) {
        writeFile(dir.file("2000-01-01-" + std::to_string(100000 + i) + "-00.txt"), old);
    }
    RecordFolder folder(dir.path());
    const GameRecord game = recordOf({*Notation::parseMove("a1b2")}, {true, false}, GameBoard::kEasy);
    const std::string first = folder.write(game);
    const std::string second = folder.write(game);
    EXPECT_EQ(first, dir.file("2023-11-14-221320-00.txt"));
    EXPECT_EQ(second, dir.file("2023-11-14-221320-01.txt"));
    EXPECT_EQ(folder.write(game, first), first);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        files += entry.path().extension() == ".txt" ? 1 : 0;
    }
    EXPECT_EQ(files, static_cast<size_t>(RecordFolder::kMaxRecords));
    EXPECT_FALSE(std::filesystem::exists(dir.file("2000-01-01-100000-00.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("2000-01-01-100001-00.txt")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("2000-01-01-100002-00.txt")));
    ASSERT_TRUE(folder.newest());
    EXPECT_EQ(folder.newest()->record.moves.size(), 1u);
}

} // namespace

#include "base/exceptions.h"
#include "net/embeddedserver.h"
#include "net/gamestore.h"
#include "support/logcapture.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <string>

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void makeDatabase(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST(GameStore, KeepsGamesAcrossARestart_WithTakenBackMovesGoneAndFinishedGamesClosed) {
    TempDir dir;
    const std::string path = dir.file("games.db");
    const std::string token1(16, 'a');
    const std::string token2(16, 'b');
    {
        // A failed write spoils the whole turn: nothing of it is kept.
        GameStore store(path);
        const int64_t open = store.createGame("KTR4QXM7P");
        store.addSeat(open, 1, token1);
        store.addMove(open, 1, "a1b2");
        store.finish(store.createGame("AAAAAAAAA"), {true, 2, Protocol::EndReason::Resigned});
        EXPECT_EQ(store.createGame("AAAAAAAAA"), 0); // a code is given once
        EXPECT_FALSE(store.commit());
        EXPECT_FALSE(store.error().empty());
    }
    {
        GameStore store(path);
        EXPECT_TRUE(store.loadOpenGames().empty()); // the spoilt turn kept nothing
        const int64_t open = store.createGame("KTR4QXM7P");
        store.addSeat(open, 2, token2);
        store.addMove(open, 1, "a1b2");
        store.addMove(open, 2, "i9h8");
        store.addMove(open, 3, "b2c3");
        store.dropMovesAfter(open, 2);
        store.finish(store.createGame("AAAAAAAAA"), {true, 2, Protocol::EndReason::Resigned});
        ASSERT_TRUE(store.commit()) << store.error();
    }
    GameStore store(path);
    const auto games = store.loadOpenGames();
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].code, "KTR4QXM7P");
    EXPECT_EQ(games[0].moves, (std::vector<std::string>{"a1b2", "i9h8"}));
    EXPECT_TRUE(games[0].tokens[0].empty());
    EXPECT_EQ(games[0].tokens[1], token2);
    int seat = 0;
    const auto byToken = store.findByToken(token2, seat);
    ASSERT_TRUE(byToken);
    EXPECT_EQ(seat, 2);
    EXPECT_EQ(byToken->id, games[0].id);
    const auto over = store.findByCode("AAAAAAAAA");
    ASSERT_TRUE(over);
    EXPECT_TRUE(over->result.finished);
    EXPECT_EQ(over->result.winner, 2);
    EXPECT_EQ(over->result.reason, Protocol::EndReason::Resigned);
    EXPECT_FALSE(store.findByCode("BBBBBBBBB"));
}

TEST(GameStore, ForeignDamagedOrNewerFiles_AreRefusedWithTheReasonAndLeftAsTheyWere) {
    TempDir dir;
    const std::string garbage = dir.file("garbage.db");
    std::ofstream(garbage) << "this is a text file, not a database, and long enough to be read as a header";
    const std::string foreign = dir.file("foreign.db");
    makeDatabase(foreign, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine');");
    const std::string newer = dir.file("newer.db");
    { GameStore made(newer); }
    makeDatabase(newer, "PRAGMA user_version = 2;");
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {garbage, "is not an SQLite database"},
        {foreign, "belongs to another program"},
        {newer, "has schema version 2"},
    };
    for (const auto& c : cases) {
        const std::string before = contents(c.path);
        try {
            GameStore store(c.path);
            ADD_FAILURE() << c.path << " taken";
        } catch (const InstantiationException& e) {
            EXPECT_NE(e.getMessage().find(c.reason), std::string::npos) << e.getMessage();
            EXPECT_NE(e.getMessage().find(c.path), std::string::npos) << e.getMessage();
        }
        EXPECT_EQ(contents(c.path), before) << c.path;
    }
}

TEST(EmbeddedServer, ADamagedDatabase_IsMovedAsideAndAFreshOneServes) {
    TempDir dir;
    Server::Options options;
    options.port = 0;
    options.databasePath = dir.file("state/sporrik/hosted.db");
    ASSERT_TRUE(std::filesystem::create_directories(dir / "state/sporrik"));
    const std::string damaged = "not a database at all, but someone's text";
    std::ofstream(options.databasePath) << damaged;
    LogCapture log;
    EmbeddedServer server(options);
    ASSERT_TRUE(server.start()) << server.error();
    EXPECT_NE(server.port(), 0);
    server.stop();
    EXPECT_EQ(contents(options.databasePath + ".bad"), damaged);
    EXPECT_TRUE(log.has("moved aside"));
    EXPECT_NO_THROW(GameStore fresh(options.databasePath));
}

} // namespace

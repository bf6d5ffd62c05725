#include "net/landiscovery.h"

#include <gtest/gtest.h>

namespace {

TEST(LanDiscovery, Answer_ReadsBackTheSame) {
    LanDiscovery::Answer game;
    game.protocol = 7;
    game.port = 65535;
    game.code = "KTR4QXM7P";
    game.name = "my-box.local";
    const auto read = LanDiscovery::parseAnswer(LanDiscovery::answer(game));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->protocol, 7u);
    EXPECT_EQ(read->port, 65535);
    EXPECT_EQ(read->code, "KTR4QXM7P");
    EXPECT_EQ(read->name, "my-box.local");
    EXPECT_EQ(LanDiscovery::parseQuery(LanDiscovery::query(3)), 3u);
}

TEST(LanDiscovery, BadDatagrams_Refused) {
    const std::string name63(63, 'n');
    for (const std::string& datagram : {
             std::string("SPORRIK-GAME 1 0 KTR4QXM7P box"),
             std::string("SPORRIK-GAME 1 65536 KTR4QXM7P box"),
             std::string("SPORRIK-GAME 1 47621 KTR-4QX-M7P box"),
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7 box"),
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7P b/x"),
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7P ") + name63 + "n",
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7P"),
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7P box extra"),
             std::string("SPORRIK-GAME 1  47621 KTR4QXM7P box"),
             std::string("SPORRIK-GAME 1 47621 KTR4QXM7P box\n"),
             std::string("SPORRIK-GAME -1 47621 KTR4QXM7P box"),
             std::string("SPORRIK-GAME 1234567890 47621 KTR4QXM7P box"),
             std::string("SPORRIK-LOOK 1 47621 KTR4QXM7P box"),
         }) {
        EXPECT_FALSE(LanDiscovery::parseAnswer(datagram)) << datagram;
    }
    EXPECT_TRUE(LanDiscovery::parseAnswer("SPORRIK-GAME 1 47621 KTR4QXM7P " + name63));
    for (const std::string& datagram :
         {std::string("SPORRIK-LOOK"), std::string("SPORRIK-LOOK 1 2"), std::string("SPORRIK-GAME 1"),
          std::string("SPORRIK-LOOK x"), std::string("SPORRIK-LOOK 1\0", 15)}) {
        EXPECT_FALSE(LanDiscovery::parseQuery(datagram)) << datagram;
    }
}

TEST(LanDiscovery, AnswerName_CutToWhatAnAnswerCarries) {
    EXPECT_EQ(LanDiscovery::answerName("k\u00f6k-1"), "kk-1");
    EXPECT_EQ(LanDiscovery::answerName(std::string(70, 'a')), std::string(63, 'a'));
    EXPECT_EQ(LanDiscovery::answerName("\u00f6"), "host");
}

} // namespace

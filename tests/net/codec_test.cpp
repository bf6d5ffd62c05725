#include "net/codec.h"
#include "net/joincode.h"
#include "net/netclient.h"
#include "net/protocol.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Protocol::ErrorCode;
using sporrik::wire::ClientMessage;

std::optional<ClientMessage> decode(const std::string& bytes, ErrorCode* error = nullptr) {
    uint32_t code = 0;
    auto message = Codec::decodeClient(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &code);
    if (error != nullptr) {
        *error = static_cast<ErrorCode>(code);
    }
    return message;
}

std::string move(const std::string& notation, uint32_t number) {
    ClientMessage m;
    m.mutable_play_move()->set_move(notation);
    m.mutable_play_move()->set_number(number);
    return Codec::encode(m);
}

TEST(Codec, BadClientMessages_AreRefusedWithTheirReason) {
    ClientMessage hello;
    hello.mutable_hello()->set_protocol(1);
    hello.mutable_hello()->set_game_version(std::string(Protocol::kMaxVersionTextBytes + 1, '9'));
    ClientMessage rejoin;
    rejoin.mutable_rejoin()->set_token(std::string(Protocol::kTokenBytes - 1, 'x'));
    ClientMessage seat3;
    seat3.mutable_create_game()->set_seat(3);
    const std::string valid = move("a1b2", 1);
    const struct {
        const char* name;
        std::string bytes;
        ErrorCode error;
    } cases[] = {
        {"empty", "", ErrorCode::BadMessage}, // no body
        {"truncated", valid.substr(0, valid.size() - 1), ErrorCode::BadMessage},
        {"garbage", std::string("\xff\xff\xff\xff\x0f", 5), ErrorCode::BadMessage},
        {"oversized", std::string(Protocol::kMaxClientMessageBytes + 1, '\0'), ErrorCode::MessageTooLarge},
        {"long move", move("a1b2c", 1), ErrorCode::BadMessage},
        {"long version", Codec::encode(hello), ErrorCode::BadMessage},
        {"short token", Codec::encode(rejoin), ErrorCode::BadMessage},
        {"seat 3", Codec::encode(seat3), ErrorCode::BadMessage},
    };
    for (const auto& c : cases) {
        ErrorCode error = ErrorCode::None;
        EXPECT_FALSE(decode(c.bytes, &error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
    const auto decoded = decode(valid);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->play_move().move(), "a1b2");
}

TEST(Codec, AFutureHello_WithFieldsWeDoNotKnow_StillDecodes) {
    ClientMessage hello;
    hello.mutable_hello()->set_protocol(7);
    hello.mutable_hello()->set_game_version("7.0.0");
    // Field 9 of the hello, a varint: what a later version might add.
    const std::string extra = std::string("\x48\x01", 2);
    std::string inner = hello.hello().SerializeAsString() + extra;
    const std::string bytes = std::string("\x0a", 1) + static_cast<char>(inner.size()) + inner;
    const auto decoded = decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->hello().protocol(), 7u);
    EXPECT_EQ(decoded->hello().game_version(), "7.0.0");
}

TEST(Codec, Printable_ReplacesControlAndHighBytesAndCuts) {
    EXPECT_EQ(Codec::printable(std::string("a\nb\x80z", 5), 4), "a?b?");
}

TEST(JoinCode, ParseForgivesCaseDashesAndSpaces_RefusesLookAlikesAndWrongLengths) {
    const struct {
        const char* typed;
        const char* code;
    } cases[] = {
        {"KTR-4QX-M7P", "KTR4QXM7P"},
        {"ktr4qxm7p", "KTR4QXM7P"},
        {" KTR 4QX M7P ", "KTR4QXM7P"},
        {"KTR-4QX-M7", nullptr},
        {"KTR-4QX-M7PA", nullptr},
        {"KTR-4QX-M70", nullptr},
        {"KTR-4QX-M7O", nullptr},
        {"KTR-4QX-M7I", nullptr},
        {"KTR-4QX-M71", nullptr},
        {"KTR-4QX-M7L", nullptr},
        {"", nullptr},
        {"KTR_4QX_M7P", nullptr},
    };
    for (const auto& c : cases) {
        const auto parsed = JoinCode::parse(c.typed);
        EXPECT_EQ(parsed.value_or("none"), c.code != nullptr ? c.code : "none") << c.typed;
    }
    EXPECT_EQ(JoinCode::format("KTR4QXM7P"), "KTR-4QX-M7P");
}

TEST(JoinCode, Generate_UsesEveryLetterEvenlyAndDrawsAgainAboveTheUnbiasedLimit) {
    // A counter as the source: every byte value in turn.
    uint8_t next = 0;
    const RandomBytes::Source counter = [&next](uint8_t* out, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            out[i] = next++;
        }
    };
    std::map<char, int> counts;
    // 248 of 256 byte values are taken, 8 per letter; a plain modulo would
    // give 8 letters one more each round of 256 bytes, 20 over these codes.
    for (int i = 0; i < 560; ++i) {
        const std::string code = JoinCode::generate(counter);
        ASSERT_TRUE(JoinCode::parse(code)) << code;
        for (const char c : code) {
            ++counts[c];
        }
    }
    ASSERT_EQ(counts.size(), JoinCode::kAlphabetSize);
    const auto [low, high] = std::minmax_element(
        counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    // Bytes drawn beyond a code's last letter are dropped, which leaves a
    // few letters ahead; nothing near the modulo's twenty.
    EXPECT_LE(high->second - low->second, 8);
}

TEST(NetClient, TokenText_IsThirtyTwoHexDigitsAndReadsBack) {
    const std::string bytes("\x00\x7f\x80\xff"
                            "abcdefghijkl",
                            Protocol::kTokenBytes);
    const std::string text = NetClient::tokenToText(bytes);
    EXPECT_EQ(text.substr(0, 8), "007f80ff");
    EXPECT_EQ(NetClient::tokenFromText(text).value_or(""), bytes);
    EXPECT_FALSE(NetClient::tokenFromText(text.substr(1)));
    EXPECT_FALSE(NetClient::tokenFromText("g" + text.substr(1)));
    EXPECT_FALSE(NetClient::tokenFromText(text + "00"));
}

} // namespace

// The network's two doors. Without FUZZED_ROOM: each input is one packet,
// decoded as a client's and as a server's message; what decodes must encode
// and decode again to the same bytes. With FUZZED_ROOM: each input is a
// sequence of steps against one server's logic (no sockets) with a game
// between two players already under way: packets from four peers, moves
// built from two field numbers, peers coming and going, the clock jumping.
// After each step the store must commit and every loaded game must replay
// from its moves to the position it holds.
#include "base/log.h"
#include "base/version.h"
#include "game/notation.h"
#include "net/codec.h"
#include "net/gamestore.h"
#include "net/joincode.h"
#include "net/serverlogic.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace sporrik::wire;

#ifdef FUZZED_ROOM

using PeerId = ServerLogic::PeerId;
constexpr PeerId kPeers = 4;
constexpr int kFields = 81;
constexpr double kSecondsPerTick = 1000;
// Knuth's MMIX linear congruential generator; its top byte is the output.
constexpr uint64_t kMultiplier = 6364136223846793005ull;
constexpr uint64_t kIncrement = 1442695040888963407ull;
constexpr int kTopByteShift = 56;

class Session {
public:
    // The same codes and tokens for every input, so that a finding repeats;
    // a generator of long period, so that a run of created games never
    // runs out of fresh codes.
    Session()
        : store(":memory:"), logic(store, ServerLimits(), [this](uint8_t* out, size_t size) {
              for (size_t i = 0; i < size; ++i) {
                  random = random * kMultiplier + kIncrement;
                  out[i] = static_cast<uint8_t>(random >> kTopByteShift);
              }
          }) {
        for (PeerId peer = 1; peer <= 2; ++peer) {
            logic.connect(peer, peer, now);
            ClientMessage hello;
            hello.mutable_hello()->set_protocol(Version::kProtocol);
            hello.mutable_hello()->set_game_version(Version::kGame);
            deliver(peer, Codec::encode(hello));
        }
        ClientMessage create;
        create.mutable_create_game();
        deliver(1, Codec::encode(create));
        ClientMessage join;
        join.mutable_join_game()->set_code(code);
        deliver(2, Codec::encode(join));
    }

    void deliver(PeerId peer, const std::string& bytes) {
        logic.receive(peer, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), now);
        settle();
    }
    void step(uint8_t op, const uint8_t* data, size_t size, size_t& used) {
        const PeerId peer = 1 + (op >> 2) % kPeers;
        switch (op & 3) {
        case 0: {
            const size_t length = size > 0 ? std::min<size_t>(data[0], size - 1) : 0;
            deliver(peer, std::string(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), length));
            used = length + (size > 0 ? 1 : 0);
            break;
        }
        case 1: {
            if (size < 2) {
                used = size;
                return;
            }
            const int from = data[0] % kFields;
            const int to = data[1] % kFields;
            ClientMessage play;
            play.mutable_play_move()->set_move(Notation::field(from % 9, from / 9) +
                                               Notation::field(to % 9, to / 9));
            const GameRoom* room = logic.findRoom(code);
            play.mutable_play_move()->set_number(
                room != nullptr ? static_cast<uint32_t>(room->game().moves().size() + 1) : 1);
            deliver(peer, Codec::encode(play));
            used = 2;
            break;
        }
        case 2:
            logic.disconnect(peer, now);
            logic.connect(peer, peer, now);
            settle();
            break;
        default:
            now += size > 0 ? data[0] * kSecondsPerTick : kSecondsPerTick;
            used = size > 0 ? 1 : 0;
            logic.tick(now);
            settle();
            break;
        }
    }

private:
    void settle() {
        if (!store.commit()) {
            std::abort(); // a turn's writes must always be kept
        }
        for (const ServerLogic::Outgoing& out : logic.takeOutbox()) {
            const auto message =
                Codec::decodeServer(reinterpret_cast<const uint8_t*>(out.bytes.data()), out.bytes.size());
            if (!message) {
                std::abort(); // the server wrote what a client cannot read
            }
            if (message->has_seated() && code.empty()) {
                code = message->seated().code();
            }
        }
        for (const PeerId peer : logic.takeClosing()) {
            logic.disconnect(peer, now);
        }
    }

public:
    // Replaying is the slow part: once per input.
    void check() const {
        if (const GameRoom* room = logic.findRoom(code)) {
            RulesGame again;
            if (!again.replay(room->game().moves()) || again.hash() != room->game().hash()) {
                std::abort(); // the game holds a position its moves do not lead to
            }
        }
    }

private:
    uint64_t random = 0;
    GameStore store;
    ServerLogic logic;
    double now = 1;
    std::string code;
};

#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        Log::setReportChannel([](int, const std::string&) {});
        return true;
    }();
    (void)quiet;
#ifdef FUZZED_ROOM
    Session session;
    size_t at = 0;
    while (at < size) {
        size_t used = 0;
        session.step(data[at], data + at + 1, size - at - 1, used);
        at += 1 + used;
    }
    session.check();
#else
    if (const auto client = Codec::decodeClient(data, size)) {
        const std::string bytes = Codec::encode(*client);
        const auto again = Codec::decodeClient(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (!again || Codec::encode(*again) != bytes) {
            std::abort(); // what is written must read back the same
        }
        if (client->has_join_game()) {
            JoinCode::parse(client->join_game().code());
        }
    }
    if (const auto server = Codec::decodeServer(data, size)) {
        const std::string bytes = Codec::encode(*server);
        const auto again = Codec::decodeServer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (!again || Codec::encode(*again) != bytes) {
            std::abort();
        }
    }
#endif
    return 0;
}

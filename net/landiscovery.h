#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Finding the games hosted on the local network. A player looking for games
// broadcasts a short query to UDP port kPort; every game program that hosts a
// game waiting for its second player answers from that port with the game's
// join code, its server's port and the machine's name: nothing beyond what
// the host's own screen shows. docs/protocol.md gives the datagrams.
namespace LanDiscovery {

// UDP; the one after the game's port, unassigned by IANA.
constexpr uint16_t kPort = 47622;
// Both datagrams are a line of text far shorter than this; longer ones are refused unread.
constexpr size_t kMaxDatagram = 256;
// A host name is answered with at most this many characters.
constexpr size_t kMaxNameLength = 63;

struct Answer {
    uint32_t protocol = 0;
    uint16_t port = 0;
    // The canonical code (JoinCode::parse).
    std::string code;
    // The host machine's name, letters, digits, '.', '-' and '_' only.
    std::string name;
};

// "SPORRIK-LOOK <protocol>"
std::string query(uint32_t protocol);
// The protocol of a query; nothing for any other datagram.
std::optional<uint32_t> parseQuery(const std::string& datagram);
// "SPORRIK-GAME <protocol> <port> <code> <name>"
std::string answer(const Answer& game);
// A whole answer with every field in range; nothing otherwise.
std::optional<Answer> parseAnswer(const std::string& datagram);
// The host name cut to what an answer carries ("host" when nothing is left).
std::string answerName(const std::string& hostName);

// The IPv4 addresses of this machine's network interfaces other than the
// loopback, in the order the system lists them.
std::vector<std::string> localAddresses();

// The answering side: a socket on kPort (shared with other programs that
// host on this machine) that answers each query with the game advertised, if
// any. One thread serves it; advertise and withdraw may come from another.
class Responder {
public:
    Responder() = default;
    ~Responder();
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;

    // Binds the port; false with the reason when it cannot be had.
    bool open(uint16_t port, std::string& reason);
    // Waits up to timeoutMs for queries and answers those that came; at most
    // kMaxAnswersPerSecond, so that it never floods the network for a sender.
    void serve(uint32_t timeoutMs);
    void advertise(const Answer& game);
    void withdraw();
    bool isOpen() const { return socket >= 0; }

    static constexpr int kMaxAnswersPerSecond = 20;

private:
    int socket = -1;
    std::mutex mutex;
    std::optional<Answer> advertised;
    double windowStart = 0.0;
    int answered = 0;
};

// The asking side: broadcasts the query on every network this machine is
// on (and to itself) and gathers the answers as they come, never waiting.
class Search {
public:
    struct Found {
        // The answering machine's address as it sent the answer, "192.168.1.20".
        std::string address;
        Answer game;
    };

    explicit Search(uint16_t port = kPort) : port(port) {}
    ~Search();
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // Forgets what was found and asks again; false when no socket could be made.
    bool start(uint32_t protocol);
    // Takes in the answers that arrived; a game answering twice (on two
    // networks) is listed once. Answers of another protocol are left out.
    void poll();
    const std::vector<Found>& found() const { return games; }

private:
    void close();

    uint16_t port;
    int socket = -1;
    uint32_t protocol = 0;
    std::vector<Found> games;
};

} // namespace LanDiscovery

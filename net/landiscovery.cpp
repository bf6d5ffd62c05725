#include "net/landiscovery.h"

#include "net/enetlibrary.h"
#include "net/joincode.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <enet/enet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sstream>

namespace {

const char* const kQueryWord = "SPORRIK-LOOK";
const char* const kAnswerWord = "SPORRIK-GAME";
// A number in a datagram has at most this many digits.
constexpr size_t kMaxDigits = 9;
const char* const kLoopbackBroadcast = "127.255.255.255";
constexpr uint32_t kMaxPort = 65535;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool readNumber(const std::string& word, uint32_t max, uint32_t& out) {
    if (word.empty() || word.size() > kMaxDigits ||
        word.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long value = std::stoul(word);
    if (value > max) {
        return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

// The words of a datagram split at single spaces; none for one with a zero
// byte, a line end or a run of spaces.
std::vector<std::string> words(const std::string& datagram) {
    std::vector<std::string> out;
    if (datagram.size() > LanDiscovery::kMaxDatagram ||
        datagram.find_first_of(std::string("\0\r\n\t", 4)) != std::string::npos) {
        return out;
    }
    std::string word;
    std::istringstream in(datagram);
    while (std::getline(in, word, ' ')) {
        if (word.empty()) {
            return {};
        }
        out.push_back(word);
    }
    return out;
}

int openSocket(bool broadcast) {
    EnetLibrary::initialize();
    const ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (socket == ENET_SOCKET_NULL) {
        return -1;
    }
    enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1);
    if (broadcast) {
        enet_socket_set_option(socket, ENET_SOCKOPT_BROADCAST, 1);
    }
    return socket;
}

std::string received(int socket, ENetAddress& from) {
    char data[LanDiscovery::kMaxDatagram + 1];
    ENetBuffer buffer;
    buffer.data = data;
    buffer.dataLength = sizeof data;
    const int length = enet_socket_receive(socket, &from, &buffer, 1);
    // A datagram longer than the buffer arrives cut to it, and is then one too long.
    return length > 0 ? std::string(data, static_cast<size_t>(length)) : std::string();
}

void send(int socket, const ENetAddress& to, const std::string& text) {
    ENetBuffer buffer;
    buffer.data = const_cast<char*>(text.data());
    buffer.dataLength = text.size();
    enet_socket_send(socket, &to, &buffer, 1);
}

} // namespace

namespace LanDiscovery {

std::string query(uint32_t protocol) {
    return std::string(kQueryWord) + " " + std::to_string(protocol);
}

std::optional<uint32_t> parseQuery(const std::string& datagram) {
    const std::vector<std::string> w = words(datagram);
    uint32_t protocol = 0;
    if (w.size() != 2 || w[0] != kQueryWord || !readNumber(w[1], UINT32_MAX, protocol)) {
        return std::nullopt;
    }
    return protocol;
}

std::string answer(const Answer& game) {
    return std::string(kAnswerWord) + " " + std::to_string(game.protocol) + " " + std::to_string(game.port) +
           " " + game.code + " " + answerName(game.name);
}

std::optional<Answer> parseAnswer(const std::string& datagram) {
    const std::vector<std::string> w = words(datagram);
    Answer game;
    uint32_t port = 0;
    if (w.size() != 5 || w[0] != kAnswerWord || !readNumber(w[1], UINT32_MAX, game.protocol) ||
        !readNumber(w[2], kMaxPort, port) || port == 0) {
        return std::nullopt;
    }
    const std::optional<std::string> code = JoinCode::parse(w[3]);
    if (!code || *code != w[3] || w[4].size() > kMaxNameLength ||
        !std::all_of(w[4].begin(), w[4].end(), isNameCharacter)) {
        return std::nullopt;
    }
    game.port = static_cast<uint16_t>(port);
    game.code = *code;
    game.name = w[4];
    return game;
}

std::string answerName(const std::string& hostName) {
    std::string name;
    for (const char c : hostName) {
        if (isNameCharacter(c) && name.size() < kMaxNameLength) {
            name += c;
        }
    }
    return name.empty() ? "host" : name;
}

std::vector<std::string> localAddresses() {
    std::vector<std::string> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* at = list; at != nullptr; at = at->ifa_next) {
        if (at->ifa_addr == nullptr || at->ifa_addr->sa_family != AF_INET ||
            (at->ifa_flags & IFF_LOOPBACK) != 0 || (at->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(at->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr &&
            std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
            addresses.emplace_back(text);
        }
    }
    freeifaddrs(list);
    return addresses;
}

Responder::~Responder() {
    if (socket >= 0) {
        enet_socket_destroy(socket);
    }
}

bool Responder::open(uint16_t port, std::string& reason) {
    socket = openSocket(false);
    if (socket < 0) {
        reason = "no socket for the local network's queries";
        return false;
    }
    // Every program hosting on this machine hears the broadcast queries.
    enet_socket_set_option(socket, ENET_SOCKOPT_REUSEADDR, 1);
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (enet_socket_bind(socket, &address) != 0) {
        reason = "UDP port " + std::to_string(port) +
                 " for the local network's queries cannot be had: " + std::strerror(errno);
        enet_socket_destroy(socket);
        socket = -1;
        return false;
    }
    return true;
}

void Responder::serve(uint32_t timeoutMs) {
    if (socket < 0) {
        return;
    }
    enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
    if (enet_socket_wait(socket, &condition, timeoutMs) != 0 || (condition & ENET_SOCKET_WAIT_RECEIVE) == 0) {
        return;
    }
    ENetAddress from{};
    for (std::string datagram = received(socket, from); !datagram.empty();
         datagram = received(socket, from)) {
        const std::optional<uint32_t> asked = parseQuery(datagram);
        std::optional<Answer> game;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            game = advertised;
        }
        if (!asked || !game) {
            continue;
        }
        const double now = steadyNow();
        if (now - windowStart >= 1.0) {
            windowStart = now;
            answered = 0;
        }
        if (answered >= kMaxAnswersPerSecond) {
            continue;
        }
        ++answered;
        send(socket, from, answer(*game));
    }
}

void Responder::advertise(const Answer& game) {
    const std::lock_guard<std::mutex> lock(mutex);
    advertised = game;
}

void Responder::withdraw() {
    const std::lock_guard<std::mutex> lock(mutex);
    advertised.reset();
}

Search::~Search() {
    close();
}

void Search::close() {
    if (socket >= 0) {
        enet_socket_destroy(socket);
        socket = -1;
    }
}

bool Search::start(uint32_t wanted) {
    close();
    games.clear();
    protocol = wanted;
    socket = openSocket(true);
    if (socket < 0) {
        return false;
    }
    std::vector<enet_uint32> targets = {ENET_HOST_BROADCAST};
    ENetAddress loopback{};
    if (enet_address_set_host_ip(&loopback, kLoopbackBroadcast) == 0) {
        targets.push_back(loopback.host);
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (const ifaddrs* at = list; at != nullptr; at = at->ifa_next) {
            if (at->ifa_broadaddr != nullptr && (at->ifa_flags & IFF_BROADCAST) != 0 &&
                at->ifa_addr != nullptr && at->ifa_addr->sa_family == AF_INET) {
                const enet_uint32 host =
                    reinterpret_cast<const sockaddr_in*>(at->ifa_broadaddr)->sin_addr.s_addr;
                if (std::find(targets.begin(), targets.end(), host) == targets.end()) {
                    targets.push_back(host);
                }
            }
        }
        freeifaddrs(list);
    }
    const std::string text = query(protocol);
    for (const enet_uint32 host : targets) {
        ENetAddress to{};
        to.host = host;
        to.port = port;
        send(socket, to, text);
    }
    return true;
}

void Search::poll() {
    if (socket < 0) {
        return;
    }
    ENetAddress from{};
    for (std::string datagram = received(socket, from); !datagram.empty();
         datagram = received(socket, from)) {
        const std::optional<Answer> game = parseAnswer(datagram);
        if (!game || game->protocol != protocol) {
            continue;
        }
        const bool known = std::any_of(games.begin(), games.end(),
                                       [&](const Found& f) { return f.game.code == game->code; });
        if (known) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        enet_address_get_host_ip(&from, text, sizeof text);
        games.push_back({text, *game});
    }
}

} // namespace LanDiscovery

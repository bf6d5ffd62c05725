#include "netplay/serveraddress.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <netdb.h>
#include <netinet/in.h>
#include <vector>

namespace {

constexpr size_t kMaxHostLength = 253;
constexpr size_t kMaxLabelLength = 63;
constexpr size_t kMaxPortDigits = 5;
constexpr unsigned long kMaxPort = 65535;
constexpr int kIpv4Parts = 4;
constexpr int kMaxIpv4Part = 255;
const char* const kExample = "e.g. 192.168.1.20 or example.org:47621";

bool isDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Splits at the dots, keeping empty labels (which are refused).
std::vector<std::string> labels(const std::string& host) {
    std::vector<std::string> out(1);
    for (const char c : host) {
        if (c == '.') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

} // namespace

bool ServerAddress::isHostName(const std::string& host) {
    if (host.empty() || host.size() > kMaxHostLength) {
        return false;
    }
    const std::vector<std::string> parts = labels(host);
    // All numbers: it is meant as an IPv4 address, and must be a whole one.
    const bool numeric =
        std::all_of(parts.begin(), parts.end(), [](const std::string& p) { return isDigits(p); });
    if (numeric) {
        return parts.size() == kIpv4Parts &&
               std::all_of(parts.begin(), parts.end(), [](const std::string& p) {
                   return p.size() <= 3 && std::stoi(p) <= kMaxIpv4Part;
               });
    }
    return std::all_of(parts.begin(), parts.end(), [](const std::string& label) {
        return !label.empty() && label.size() <= kMaxLabelLength && label.front() != '-' &&
               label.back() != '-' && std::all_of(label.begin(), label.end(), [](char c) {
                   return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
               });
    });
}

std::optional<ServerAddress> ServerAddress::parse(const std::string& typed, uint16_t defaultPort,
                                                  std::string& reason) {
    const std::string text = trimmed(typed);
    if (text.empty()) {
        reason = std::string("Type the host's address, ") + kExample + ".";
        return std::nullopt;
    }
    if (text.front() == '[' || std::count(text.begin(), text.end(), ':') > 1) {
        reason = "ENet speaks IPv4 only: type an IPv4 address or a host name.";
        return std::nullopt;
    }
    ServerAddress address;
    address.port = defaultPort;
    const size_t colon = text.find(':');
    address.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        if (!isDigits(port) || port.size() > kMaxPortDigits || std::stoul(port) == 0 ||
            std::stoul(port) > kMaxPort) {
            reason = "\"" + port + "\" is not a port: a number from 1 to 65535.";
            return std::nullopt;
        }
        address.port = static_cast<uint16_t>(std::stoul(port));
    }
    if (!isHostName(address.host)) {
        reason = "\"" + address.host + "\" is not a host name or an IPv4 address (" + kExample + ").";
        return std::nullopt;
    }
    return address;
}

bool ServerAddress::isNumeric(const std::string& host) {
    in_addr parsed{};
    return inet_pton(AF_INET, host.c_str(), &parsed) == 1;
}

std::optional<std::string> ServerAddress::resolve(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool written = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    return written ? std::optional<std::string>(text) : std::nullopt;
}

std::string ServerAddress::format(uint16_t defaultPort) const {
    return port == defaultPort ? host : host + ":" + std::to_string(port);
}

#include "netplay/serveraddress.h"

#include <gtest/gtest.h>

namespace {

constexpr uint16_t kDefault = 47621;

TEST(ServerAddress, Typed_ParsedWithItsPort) {
    const struct {
        const char* typed;
        const char* host;
        uint16_t port;
    } cases[] = {
        {"192.168.1.20", "192.168.1.20", kDefault},
        {"  example.org:1  ", "example.org", 1},
        {"my-box:65535", "my-box", 65535},
        {"255.255.255.255", "255.255.255.255", kDefault},
    };
    for (const auto& c : cases) {
        std::string reason;
        const auto address = ServerAddress::parse(c.typed, kDefault, reason);
        ASSERT_TRUE(address) << c.typed << ": " << reason;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
    }
}

TEST(ServerAddress, Bad_RefusedWithTheReason) {
    const struct {
        const char* typed;
        const char* reason;
    } cases[] = {
        {"   ", "Type the host's address, e.g. 192.168.1.20 or example.org:47621."},
        {"::1", "ENet speaks IPv4 only: type an IPv4 address or a host name."},
        {"[fe80::1]", "ENet speaks IPv4 only: type an IPv4 address or a host name."},
        {"host:0", "\"0\" is not a port: a number from 1 to 65535."},
        {"host:65536", "\"65536\" is not a port: a number from 1 to 65535."},
        {"host:", "\"\" is not a port: a number from 1 to 65535."},
        {"host:80a", "\"80a\" is not a port: a number from 1 to 65535."},
        {"256.1.1.1", "\"256.1.1.1\" is not a host name or an IPv4 address (e.g. 192.168.1.20 or "
                      "example.org:47621)."},
        {"1.2.3",
         "\"1.2.3\" is not a host name or an IPv4 address (e.g. 192.168.1.20 or example.org:47621)."},
        {"-a.org",
         "\"-a.org\" is not a host name or an IPv4 address (e.g. 192.168.1.20 or example.org:47621)."},
        {"a..org",
         "\"a..org\" is not a host name or an IPv4 address (e.g. 192.168.1.20 or example.org:47621)."},
        {":80", "\"\" is not a host name or an IPv4 address (e.g. 192.168.1.20 or example.org:47621)."},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(ServerAddress::parse(c.typed, kDefault, reason)) << c.typed;
        EXPECT_EQ(reason, c.reason) << c.typed;
    }
}

TEST(ServerAddress, HostNameLength_BoundedPerLabelAndWhole) {
    const std::string label63(63, 'a');
    EXPECT_TRUE(ServerAddress::isHostName(label63 + ".org"));
    EXPECT_FALSE(ServerAddress::isHostName(label63 + "a.org"));
    std::string name = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    EXPECT_EQ(name.size(), 253u);
    EXPECT_TRUE(ServerAddress::isHostName(name));
    EXPECT_FALSE(ServerAddress::isHostName(name + "b"));
}

TEST(ServerAddress, Format_NamesThePortOnlyWhenNotTheDefault) {
    EXPECT_EQ((ServerAddress{"h", kDefault}).format(kDefault), "h");
    EXPECT_EQ((ServerAddress{"h", 9}).format(kDefault), "h:9");
}

} // namespace

#pragma once

#include "net/netclient.h"

#include <cstdint>
#include <optional>
#include <string>

// What a network game asks of its connection to the server: NetClient's
// calls, so that a test can play the server's part instead.
class ClientPort {
public:
    ClientPort() = default;
    ClientPort(const ClientPort&) = delete;
    ClientPort& operator=(const ClientPort&) = delete;
    virtual ~ClientPort() = default;

    // As NetClient's: false when the host name does not resolve.
    virtual bool connect(const std::string& host, uint16_t port) = 0;
    virtual void disconnect() = 0;
    virtual void createGame(int seat) = 0;
    virtual void joinGame(const std::string& code) = 0;
    virtual void watchGame(const std::string& code) = 0;
    virtual bool rejoin(const std::string& token) = 0;
    virtual bool play(const std::string& move) = 0;
    virtual bool askTakeBack() = 0;
    virtual bool answerTakeBack(bool agree) = 0;
    virtual bool resign() = 0;
    virtual void service() = 0;
    virtual std::optional<NetClient::Event> nextEvent() = 0;
    virtual NetClient::State state() const = 0;
    virtual int seat() const = 0;
    virtual const std::string& joinCode() const = 0;
    virtual std::string token() const = 0;
    virtual const RulesGame& game() const = 0;
    virtual uint32_t roundTripMs() const = 0;
};

// The real connection: a NetClient with its own ENet host.
class NetClientPort : public ClientPort {
public:
    bool connect(const std::string& host, uint16_t port) override { return client.connect(host, port); }
    void disconnect() override { client.disconnect(); }
    void createGame(int seat) override { client.createGame(seat); }
    void joinGame(const std::string& code) override { client.joinGame(code); }
    void watchGame(const std::string& code) override { client.watchGame(code); }
    bool rejoin(const std::string& token) override { return client.rejoin(token); }
    bool play(const std::string& move) override { return client.play(move); }
    bool askTakeBack() override { return client.askTakeBack(); }
    bool answerTakeBack(bool agree) override { return client.answerTakeBack(agree); }
    bool resign() override { return client.resign(); }
    void service() override { client.service(); }
    std::optional<NetClient::Event> nextEvent() override { return client.nextEvent(); }
    NetClient::State state() const override { return client.state(); }
    int seat() const override { return client.seat(); }
    const std::string& joinCode() const override { return client.joinCode(); }
    std::string token() const override { return client.token(); }
    const RulesGame& game() const override { return client.game(); }
    uint32_t roundTripMs() const override { return client.roundTripMs(); }

private:
    NetClient client;
};

#pragma once

#include <string>
#include <vector>

// What the network menus and the heads-up display ask of network play: to
// host, create, join or watch a game, what became of it, and the lines that
// describe it on the table. The application implements it.
class NetworkHost {
public:
    enum class Phase {
        Idle,       // no network game
        Connecting, // getting in
        Waiting,    // a game is made; its second seat is still empty
        Playing,    // seated in a game under way (or ended, still on the table)
        Watching,   // watching a game
        Failed,     // could not get in, or the connection was lost: failure()
    };
    // A game hosted on the local network, waiting for its second player.
    struct LanGame {
        // "host-name  KTR-4QX-M7P"
        std::string caption;
        // What the join form would be filled with.
        std::string address;
        std::string code;
    };

    virtual Phase networkPhase() const = 0;
    // Why the last attempt failed, as the menus show it; empty when nothing failed.
    virtual std::string failure() const = 0;
    virtual void clearFailure() = 0;
    // Each starts getting in and returns an empty text, or returns why it
    // cannot start (an address or a code that is not one), changing nothing.
    // hostGame runs the server on this machine.
    virtual std::string hostGame() = 0;
    virtual std::string createOnServer(const std::string& address) = 0;
    virtual std::string joinGame(const std::string& address, const std::string& code) = 0;
    virtual std::string watchGame(const std::string& address, const std::string& code) = 0;
    // Gives up getting in or waiting: the game made is left, the server on
    // this machine stops.
    virtual void cancelNetworkGame() = 0;
    // Before the second player joins: a new game with this player on the
    // other seat (it has a new code).
    virtual void swapSides() = 0;
    // The seat this player has or asked for, 1 or 2.
    virtual int ownSeat() const = 0;
    // "KTR-4QX-M7P" once the server gave it.
    virtual std::string joinCode() const = 0;
    // Where a friend reaches this game: this machine's addresses (with the
    // port where it is not the game's), or the server's.
    virtual std::vector<std::string> reachableAt() const = 0;
    // "connecting to 192.168.1.20…" while getting in.
    virtual std::string statusText() const = 0;
    // Asks the local network for hosted games again; lanGames lists the
    // answers come so far.
    virtual void searchLan() = 0;
    virtual std::vector<LanGame> lanGames() const = 0;
    // The address of the server last played on, for the forms.
    virtual std::string rememberedServer() const = 0;
    virtual bool canResign() const = 0;
    virtual void resign() = 0;
    // What the window system's clipboard holds; empty without one.
    virtual std::string clipboardText() = 0;

    // The heads-up display's lines while a network game is on the table;
    // empty strings otherwise.
    virtual bool showsNetworkGame() const = 0;
    virtual std::string connectionLine() const = 0;
    virtual std::string codeLine() const = 0;
    virtual std::string noticeLine() const = 0;
    // The result when the server ended the game otherwise than the board
    // did ("Player 1 Won!" after a resignation); empty: the board's stands.
    virtual std::string resultLine() const = 0;

protected:
    NetworkHost() = default;
    NetworkHost(const NetworkHost&) = default;
    NetworkHost& operator=(const NetworkHost&) = default;
    ~NetworkHost() = default;
};

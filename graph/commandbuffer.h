#pragma once

#include "graph/command.h"

#include <deque>

// The commands waiting for the receiver of a connection, oldest first.
class CommandBuffer {
public:
    void push(const Command& command) { commands.push_back(command); }
    bool isEmpty() const { return commands.empty(); }
    // Throws NotFoundException "no command available" when empty.
    Command next();

private:
    std::deque<Command> commands;
};

#include "graph/commandbuffer.h"

#include "base/exceptions.h"

Command CommandBuffer::next() {
    if (commands.empty()) {
        throw NotFoundException("no command available");
    }
    Command command = commands.front();
    commands.pop_front();
    return command;
}

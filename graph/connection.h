#pragma once

#include "graph/commandbuffer.h"

class Plug;

// A registered join of two plugs, kept by PlugConnections under its identifier.
struct Connection {
    Plug* receiver = nullptr; // not owned: the non-sequential plug
    Plug* sender = nullptr;   // not owned: the sequential plug
    int id = 0;
    CommandBuffer commands; // for the receiver
};

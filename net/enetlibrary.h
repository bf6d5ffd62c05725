#pragma once

// ENet's global start, made once per process before the first host and
// undone at exit; every host of the server and the clients calls it.
class EnetLibrary {
public:
    // Throws InstantiationException when ENet cannot start.
    static void initialize();
};

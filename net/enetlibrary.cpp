#include "net/enetlibrary.h"

#include "base/exceptions.h"

#include <cstdlib>
#include <enet/enet.h>
#include <mutex>

void EnetLibrary::initialize() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        started = enet_initialize() == 0;
        if (started) {
            std::atexit(enet_deinitialize);
        }
    });
    if (!started) {
        throw InstantiationException("the ENet library did not start");
    }
}

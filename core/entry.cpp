#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "core/sporrikmain.h"
#include "core/system.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    System* system = System::instance();
    system->setArguments(argc, argv);
    if (!system->init()) {
        return 1;
    }
    try {
        Main::registerInstance(std::make_unique<SporrikMain>());
    } catch (const InstantiationException& e) {
        log(ERROR, "global", std::string("Application initialization failed.") + e.getMessage());
        return 1;
    }
    system->run();
}

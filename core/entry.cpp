#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "core/sporrikmain.h"
#include "core/system.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSource = "global";

// A wrong path= would otherwise show only as the first texture that cannot be
// opened, far from its cause.
bool isReadableDirectory(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0 && S_ISDIR(status.st_mode) && ::access(path, R_OK | X_OK) == 0;
}

} // namespace

int main(int argc, char** argv) {
    System* system = System::instance();
    system->setArguments(argc, argv);
    const char* assets = system->getArgument("path");
    if (assets != nullptr && *assets != '\0' && !isReadableDirectory(assets)) {
        log(ERROR, kSource, std::string("asset directory ") + assets + " cannot be read");
        return 1;
    }
    if (!system->init()) {
        return 1;
    }
    try {
        Main::registerInstance(std::make_unique<SporrikMain>());
    } catch (const InstantiationException& e) {
        log(ERROR, kSource, std::string("Application initialization failed.") + e.getMessage());
        return 1;
    }
    system->run();
}

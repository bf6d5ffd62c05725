#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "core/assetdirectory.h"
#include "core/commandline.h"
#include "core/sporrikmain.h"
#include "core/system.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
const char* const kSource = "global";
} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (CommandLine::asksForHelp(arguments)) {
        std::fputs(CommandLine::kUsage, stdout);
        return 0;
    }
    System* system = System::instance();
    system->setArguments(argc, argv);
    for (const std::string& unknown : CommandLine::unknownArguments(arguments)) {
        log(WARNING, kSource,
            "unknown argument \"" + unknown + "\" ignored (sporrik --help lists the arguments)");
    }
    // path= wins; otherwise the first place that holds an asset folder.
    const char* path = system->getArgument("path");
    std::vector<std::string> searched;
    if (path == nullptr) {
        searched = AssetDirectory::candidates(AssetDirectory::executableDirectory(), SPORRIK_DATA_FROM_BIN);
        setAssetDirectory(AssetDirectory::choose(searched));
    } else {
        searched.push_back(path);
    }
    if (!system->init()) {
        return 1;
    }
    try {
        Main::registerInstance(std::make_unique<SporrikMain>());
    } catch (const InstantiationException& e) {
        log(ERROR, kSource, std::string("Application initialization failed.") + e.getMessage());
        log(NOTE, kSource, AssetDirectory::whereLooked(searched, path != nullptr));
        return 1;
    }
    system->run();
}

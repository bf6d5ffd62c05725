#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "core/assetdirectory.h"
#include "core/commandline.h"
#include "core/keeper.h"
#include "core/sporrikmain.h"
#include "core/system.h"
#include "keep/gamerecord.h"
#include "keep/recordfolder.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const kSource = "global";

// A wrong path= would otherwise show only as the first texture that cannot be
// opened, far from its cause.
bool isReadableDirectory(const char* path) {
    struct stat status {};
    return ::stat(path, &status) == 0 && S_ISDIR(status.st_mode) && ::access(path, R_OK | X_OK) == 0;
}

// Prints the last kept game, so that it can be mailed or pasted; no window.
int exportLast() {
    const RecordFolder records(RecordFolder::fromEnvironment());
    const std::optional<RecordFolder::Entry> newest = records.newest();
    if (!newest) {
        std::fprintf(stderr, "sporrik: no game kept in %s\n",
                     records.getFolder().empty() ? "(no folder: neither XDG_DATA_HOME nor HOME is set)"
                                                 : records.getFolder().c_str());
        return 1;
    }
    std::fputs(GameRecord::format(newest->record).c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (CommandLine::asksForHelp(arguments)) {
        std::fputs(CommandLine::kUsage, stdout);
        return 0;
    }
    if (CommandLine::asksForVersion(arguments)) {
        std::fputs(CommandLine::versionText().c_str(), stdout);
        return 0;
    }
    if (CommandLine::asksForExport(arguments)) {
        return exportLast();
    }
    std::string replay;
    if (CommandLine::replayFile(arguments, replay) && replay.empty()) {
        std::fputs("sporrik: --replay needs the file of a kept game (sporrik --help)\n", stderr);
        return 2;
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
    } else if (!isReadableDirectory(path)) {
        log(ERROR, kSource, std::string("asset directory ") + path + " cannot be read");
        return 1;
    } else {
        searched.push_back(path);
    }
    auto keeper = std::make_unique<Keeper>(Keeper::Folders::fromEnvironment());
    keeper->loadSettings();
    if (!system->init()) {
        return 1;
    }
    try {
        Main::registerInstance(std::make_unique<SporrikMain>(std::move(keeper), replay));
    } catch (const InstantiationException& e) {
        log(ERROR, kSource, std::string("Application initialization failed.") + e.getMessage());
        log(NOTE, kSource, AssetDirectory::whereLooked(searched, path != nullptr));
        return 1;
    }
    system->run();
}

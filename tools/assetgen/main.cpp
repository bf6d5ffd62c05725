// sporrik_assetgen: writes every texture, model and sound of the game into an
// asset directory, and on request a contact sheet of all of them.

#include "tools/assetgen/assetgenerator.h"
#include "tools/assetgen/contactsheet.h"
#include "tools/assetgen/icon.h"
#include "tools/assetgen/pngwriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace {
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxThreads = 16;
constexpr int kMinIconSize = 16;
constexpr int kMaxIconSize = 1024;
constexpr int kDefaultIconSize = 128;

const char* const kUsage = "usage: sporrik_assetgen [options] [<asset directory>]\n"
                           "  --contact-sheet <file.png>  also write one picture showing every asset\n"
                           "  --icon <file.png>           also draw the desktop icon\n"
                           "  --icon-size <n>             its edge in pixels (default 128)\n"
                           "  --threads <n>               worker threads (default: the number of cores)\n"
                           "  --mono-font <file>          monospaced font for the big bitmap font\n"
                           "  --mono-bold-font <file>     bold monospaced font for the small bitmap font\n"
                           "  --logo-font <file>          font of the menu logo\n"
                           "At least one of <asset directory>, --contact-sheet and --icon is required.\n";

struct Options {
    std::string outputDirectory;
    std::string contactSheet;
    std::string icon;
    int iconSize = kDefaultIconSize;
    int threads = 0;
    FontFiles fonts{SPORRIK_MONO_FONT, SPORRIK_MONO_BOLD_FONT, SPORRIK_BOLD_FONT};
};

bool parse(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--contact-sheet") {
            if (!value(options.contactSheet)) {
                return false;
            }
        } else if (arg == "--icon") {
            if (!value(options.icon)) {
                return false;
            }
        } else if (arg == "--icon-size") {
            if (!value(text)) {
                return false;
            }
            char* end = nullptr;
            long n = std::strtol(text.c_str(), &end, 10);
            if (end == text.c_str() || *end != '\0' || n < kMinIconSize || n > kMaxIconSize) {
                error = "--icon-size needs a number from " + std::to_string(kMinIconSize) + " to " +
                        std::to_string(kMaxIconSize);
                return false;
            }
            options.iconSize = static_cast<int>(n);
        } else if (arg == "--mono-font") {
            if (!value(options.fonts.mono)) {
                return false;
            }
        } else if (arg == "--mono-bold-font") {
            if (!value(options.fonts.monoBold)) {
                return false;
            }
        } else if (arg == "--logo-font") {
            if (!value(options.fonts.logo)) {
                return false;
            }
        } else if (arg == "--threads") {
            if (!value(text)) {
                return false;
            }
            char* end = nullptr;
            long n = std::strtol(text.c_str(), &end, 10);
            if (end == text.c_str() || *end != '\0' || n < 1 || n > kMaxThreads) {
                error = "--threads needs a number from 1 to " + std::to_string(kMaxThreads);
                return false;
            }
            options.threads = static_cast<int>(n);
        } else if (arg == "--help" || arg == "-h") {
            error.clear();
            return false;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (options.outputDirectory.empty()) {
            options.outputDirectory = arg;
        } else {
            error = "more than one asset directory given";
            return false;
        }
    }
    if (options.outputDirectory.empty() && options.contactSheet.empty() && options.icon.empty()) {
        error = "nothing to do";
        return false;
    }
    return true;
}

void makeDirectory(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error || !std::filesystem::is_directory(path)) {
        throw std::runtime_error("cannot create directory " + path + (error ? ": " + error.message() : ""));
    }
}

void checkReadable(const FontFiles& fonts) {
    for (const std::string& font : {fonts.mono, fonts.monoBold, fonts.logo}) {
        if (!std::ifstream(font).is_open()) {
            throw std::runtime_error("cannot open font " + font);
        }
    }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parse(argc, argv, options, error)) {
        if (!error.empty()) {
            std::fprintf(stderr, "sporrik_assetgen: %s\n", error.c_str());
        }
        std::fputs(kUsage, error.empty() ? stdout : stderr);
        return error.empty() ? EXIT_SUCCESS : kExitUsage;
    }
    int threads = options.threads > 0
                      ? options.threads
                      : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads);
    try {
        if (!options.icon.empty()) {
            PngWriter::write(options.icon, paintIcon(options.iconSize), PixelFormat::Rgba);
            std::printf("sporrik_assetgen: icon %s\n", options.icon.c_str());
        }
        if (options.outputDirectory.empty() && options.contactSheet.empty()) {
            return EXIT_SUCCESS;
        }
        // Checked before generating, which takes seconds: a bad path fails at once.
        if (!options.outputDirectory.empty()) {
            makeDirectory(options.outputDirectory);
        }
        checkReadable(options.fonts);
        auto start = std::chrono::steady_clock::now();
        AssetSet assets = AssetGenerator(options.fonts).generate(threads);
        double made = secondsSince(start);
        if (!options.outputDirectory.empty()) {
            auto writeStart = std::chrono::steady_clock::now();
            assets.write(options.outputDirectory, threads);
            std::printf("sporrik_assetgen: %zu files in %s: made in %.2f s, written in %.2f s, %.2f s in all "
                        "(%d threads)\n",
                        assets.fileNames().size(), options.outputDirectory.c_str(), made,
                        secondsSince(writeStart), secondsSince(start), threads);
        }
        if (!options.contactSheet.empty()) {
            PngWriter::write(options.contactSheet, ContactSheet(assets, options.fonts.mono).render(),
                             PixelFormat::Rgb);
            std::printf("sporrik_assetgen: contact sheet %s\n", options.contactSheet.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sporrik_assetgen: error: %s\n", e.what());
        return kExitFailure;
    }
    return EXIT_SUCCESS;
}

// Loads a model whose FUZZED_PART file (".md3", ".cfg" or ".skin") is the
// input and whose other two files are a generated model's own.
#include "fuzzinput.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "resources/material.h"

#include <fstream>
#include <iterator>

namespace {

constexpr const char* kModel = SPORRIK_ASSET_DIR "/models/sporlet/spr-slime-low";

std::string readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::perror(path.c_str());
        std::abort();
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Fixture {
    FuzzInput input;
    // Skins need a GL context for their textures; without one the surfaces go bare.
    MD3MeshLoader loader{[](const std::string&) {
        return std::unique_ptr<Material>();
    }};
    Fixture() {
        for (const char* part : {".md3", ".cfg", ".skin"}) {
            input.write(std::string("model") + part, readWhole(kModel + std::string(part)));
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.input.write(std::string("model") + FUZZED_PART, data, size);
    fixture.loader.load(fixture.input.path("model.md3"));
    return 0;
}

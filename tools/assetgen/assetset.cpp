#include "tools/assetgen/assetset.h"

#include "tools/assetgen/md3writer.h"
#include "tools/assetgen/parallel.h"
#include "tools/assetgen/pngwriter.h"
#include "tools/assetgen/wavwriter.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>

namespace {
void writeBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream file(path, std::ios::binary);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}
} // namespace

void AssetSet::addTexture(const std::string& path, Canvas image, PixelFormat format) {
    textureList.push_back({path, std::move(image), format});
}

void AssetSet::addModel(Model model) {
    modelList.push_back(std::move(model));
}

void AssetSet::addSound(const std::string& path, std::vector<float> samples) {
    soundList.push_back({path, std::move(samples)});
}

void AssetSet::merge(AssetSet&& other) {
    for (auto& t : other.textureList) {
        textureList.push_back(std::move(t));
    }
    for (auto& m : other.modelList) {
        modelList.push_back(std::move(m));
    }
    for (auto& s : other.soundList) {
        soundList.push_back(std::move(s));
    }
    other = AssetSet();
}

const TextureAsset* AssetSet::findTexture(const std::string& path) const {
    for (const auto& t : textureList) {
        if (t.path == path) {
            return &t;
        }
    }
    return nullptr;
}

std::vector<std::string> AssetSet::fileNames() const {
    std::vector<std::string> names;
    for (const auto& t : textureList) {
        names.push_back(t.path);
    }
    for (const auto& m : modelList) {
        for (const char* extension : {".md3", ".cfg", ".skin"}) {
            names.push_back(m.path + extension);
        }
    }
    for (const auto& s : soundList) {
        names.push_back(s.path);
    }
    return names;
}

void AssetSet::write(const std::string& directory, int threads) const {
    namespace fs = std::filesystem;
    std::set<fs::path> folders;
    for (const std::string& name : fileNames()) {
        folders.insert((fs::path(directory) / name).parent_path());
    }
    for (const fs::path& folder : folders) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error) {
            throw std::runtime_error("cannot create directory " + folder.string() + ": " + error.message());
        }
    }

    std::vector<std::function<void()>> jobs;
    for (const auto& t : textureList) {
        jobs.push_back([&t, directory] { PngWriter::write(directory + "/" + t.path, t.image, t.format); });
    }
    for (const auto& m : modelList) {
        jobs.push_back([&m, directory] {
            std::string base = directory + "/" + m.path;
            std::vector<uint8_t> md3 = Md3Writer::encode(m);
            writeBytes(base + ".md3", md3.data(), md3.size());
            std::string cfg = Md3Writer::animationConfig(m), skin = Md3Writer::skin(m);
            writeBytes(base + ".cfg", cfg.data(), cfg.size());
            writeBytes(base + ".skin", skin.data(), skin.size());
        });
    }
    for (const auto& s : soundList) {
        jobs.push_back([&s, directory] { WavWriter::write(directory + "/" + s.path, s.samples); });
    }

    // Jobs are independent files, so the order in which threads take them
    // does not change any byte.
    runInParallel(jobs.size(), threads, [&](size_t i) { jobs[i](); });
}

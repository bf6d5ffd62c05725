#pragma once

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/model.h"

#include <string>
#include <vector>

struct TextureAsset {
    std::string path; // relative to the asset directory
    Canvas image;
    PixelFormat format;
};

struct SoundAsset {
    std::string path;
    std::vector<float> samples; // mono, in [-1, 1]
};

// Everything the generator makes, held in memory until it is written out (or
// laid out on the contact sheet).
class AssetSet {
public:
    void addTexture(const std::string& path, Canvas image, PixelFormat format);
    void addModel(Model model);
    void addSound(const std::string& path, std::vector<float> samples);
    // Appends everything of other, keeping its order.
    void merge(AssetSet&& other);

    const std::vector<TextureAsset>& textures() const { return textureList; }
    const std::vector<Model>& models() const { return modelList; }
    const std::vector<SoundAsset>& sounds() const { return soundList; }
    const TextureAsset* findTexture(const std::string& path) const;

    // Every file that write() creates, relative to the directory.
    std::vector<std::string> fileNames() const;
    // Creates the directories and writes every file, spreading the work over
    // `threads` threads. Throws std::runtime_error on the first failure.
    void write(const std::string& directory, int threads) const;

private:
    std::vector<TextureAsset> textureList;
    std::vector<Model> modelList;
    std::vector<SoundAsset> soundList;
};

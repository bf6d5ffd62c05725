#pragma once

#include <memory>
#include <string>

class MeshGroup;

// Reads a model file into a mesh group.
class MeshLoader {
public:
    virtual ~MeshLoader() = default;

    // The model named relative to the asset directory, owned by the caller,
    // or null when it cannot be read.
    virtual std::unique_ptr<MeshGroup> load(const std::string& fileName) = 0;
};

#pragma once

#include "mesh/meshgroup.h"

#include <memory>
#include <string>

class MD3MeshLoader;

// An MD3 model in the pose of its first animation at time 0, with a static
// copy of that pose for fast drawing.
struct LoadedModel {
    std::unique_ptr<MeshGroup> group;
    std::unique_ptr<MeshGroup> still;

    // A model that does not load is a soft problem: logged as a WARNING from
    // source, and both parts stay null.
    static LoadedModel load(MD3MeshLoader& loader, const std::string& fileName, const char* source);
    bool isLoaded() const { return still != nullptr; }
};

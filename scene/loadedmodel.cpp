#include "scene/loadedmodel.h"

#include "base/log.h"
#include "base/tools.h"
#include "mesh/md3meshloader.h"

LoadedModel LoadedModel::load(MD3MeshLoader& loader, const std::string& fileName, const char* source) {
    LoadedModel model;
    try {
        model.group = loader.load(fileName);
    } catch (const std::exception& e) {
        log(WARNING, source, "model " + fileName + " not loaded: " + e.what());
        return model;
    }
    if (!model.group) {
        log(WARNING, source, "model " + fileName + " not loaded: " + loader.getFailure());
        return model;
    }
    model.group->animate(0, 0.0);
    model.still = model.group->toStatic();
    return model;
}

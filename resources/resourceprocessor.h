#pragma once

class Resource;

// Visits resource handles for the ResourceManager.
class ResourceProcessor {
public:
    virtual ~ResourceProcessor() = default;

    // True to go on with the next handle, false to stop the walk.
    virtual bool process(Resource& handle) = 0;

protected:
    ResourceProcessor() = default;
    ResourceProcessor(const ResourceProcessor&) = default;
    ResourceProcessor& operator=(const ResourceProcessor&) = default;
};

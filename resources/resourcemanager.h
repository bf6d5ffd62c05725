#pragma once

#include "resources/resource.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ResourceProcessor;

// Registry of the handles of managed resource data, so that a new handle of
// an already loaded resource shares it. Keeps one master handle of its own
// per resource while any user handle refers to it. Handles are recorded by
// address. Created on first use and never destroyed.
class ResourceManager {
public:
    static constexpr const char* kNotAddedMessage = "tried to remove a resource which was not added before.";

    static ResourceManager& instance();

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    void add(Resource* handle);
    // Throws IllegalStateException when the handle is not registered.
    void remove(Resource* handle);
    // Same, but reports an unregistered handle by returning false.
    bool removeIfAdded(Resource* handle);
    // The master handle of the registered resource equal to handle's, or null.
    Resource* find(const Resource* handle);
    // Visits the master, then the user handles of handle's resource in
    // registration order, until the processor returns false.
    void processSharing(const Resource* handle, ResourceProcessor& processor);
    // Visits the master of every registered resource whose type is sample's
    // type or derived from it, until the processor returns false.
    void processAll(const Resource& sample, ResourceProcessor& processor);

    // Whether the type has ever had a registered handle.
    bool hasType(const std::string& typeName) const;
    // Registered resources of one type.
    size_t getEntryCount(const std::string& typeName) const;

private:
    ResourceManager();

    struct TextHash {
        size_t operator()(const std::string& text) const { return hashText(text); }
    };
    // Keys of the inner maps stand for their data: any handle of equal data
    // finds the entry.
    struct DataHash {
        size_t operator()(const Resource* handle) const { return handle->getSharedData().hash(); }
    };
    struct DataEqual {
        bool operator()(const Resource* a, const Resource* b) const { return a->equals(*b); }
    };
    struct Entry {
        std::unique_ptr<Resource> master;
        std::vector<Resource*> users; // not owned: registered handles, in registration order
    };
    using TypeMap = std::unordered_map<const Resource*, Entry, DataHash, DataEqual>;

    TypeMap& typeMap(const Resource* handle);

    static constexpr size_t kTypeBucketHint = 100;
    std::unordered_map<std::string, TypeMap, TextHash> registry;
};

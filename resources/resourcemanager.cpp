#include "resources/resourcemanager.h"

#include "base/exceptions.h"
#include "resources/resourceprocessor.h"

#include <algorithm>
#include <cstring>

ResourceManager& ResourceManager::instance() {
    // Never deleted: handles may still be released during static destruction.
    static ResourceManager* const manager = new ResourceManager();
    return *manager;
}

ResourceManager::ResourceManager() : registry(kTypeBucketHint) {}

ResourceManager::TypeMap& ResourceManager::typeMap(const Resource* handle) {
    return registry[handle->typeName(0)];
}

void ResourceManager::add(Resource* handle) {
    if (handle == nullptr) {
        throw IllegalArgumentException("empty resources must not be managed");
    }
    TypeMap& entries = typeMap(handle);
    const auto found = entries.find(handle);
    if (found != entries.end()) {
        found->second.users.push_back(handle);
        return;
    }
    auto master = std::unique_ptr<Resource>(new Resource(*handle, Resource::Shared()));
    const Resource* key = master.get();
    Entry& entry = entries[key];
    entry.master = std::move(master);
    entry.users.push_back(handle);
}

void ResourceManager::remove(Resource* handle) {
    if (!removeIfAdded(handle)) {
        throw IllegalStateException(kNotAddedMessage);
    }
}

bool ResourceManager::removeIfAdded(Resource* handle) {
    TypeMap& entries = typeMap(handle);
    const auto found = entries.find(handle);
    if (found == entries.end()) {
        return false;
    }
    Entry& entry = found->second;
    if (found->first == handle) {
        // The master's own release, nested in the removal of the last user
        // below: the entry goes, the master is already being deleted.
        entries.erase(found);
        return true;
    }
    const auto user = std::find(entry.users.begin(), entry.users.end(), handle);
    if (user == entry.users.end()) {
        return false;
    }
    entry.users.erase(user);
    if (entry.users.empty()) {
        // Deleting the master deregisters it (erasing the entry) and lowers
        // the data's count; the releasing user handle frees the data after.
        std::unique_ptr<Resource> master = std::move(entry.master);
        master.reset();
    }
    return true;
}

Resource* ResourceManager::find(const Resource* handle) {
    TypeMap& entries = typeMap(handle);
    const auto found = entries.find(handle);
    return found == entries.end() ? nullptr : found->second.master.get();
}

void ResourceManager::processSharing(const Resource* handle, ResourceProcessor& processor) {
    const auto type = registry.find(handle->typeName(0));
    if (type == registry.end()) {
        return;
    }
    const auto found = type->second.find(handle);
    if (found == type->second.end()) {
        return;
    }
    Entry& entry = found->second;
    if (!processor.process(*entry.master)) {
        return;
    }
    for (size_t i = 0; i < entry.users.size(); ++i) {
        if (!processor.process(*entry.users[i])) {
            return;
        }
    }
}

void ResourceManager::processAll(const Resource& sample, ResourceProcessor& processor) {
    const char* name = sample.typeName(0);
    // Gathered first: a processor that loads resources may grow the maps.
    std::vector<Resource*> masters;
    for (auto& [type, entries] : registry) {
        if (entries.empty()) {
            continue;
        }
        const Resource& first = *entries.begin()->second.master;
        bool qualifies = false;
        for (int depth = 0; const char* ancestor = first.typeName(depth); ++depth) {
            if (std::strcmp(ancestor, name) == 0) {
                qualifies = true;
                break;
            }
        }
        if (qualifies) {
            for (auto& [key, entry] : entries) {
                masters.push_back(entry.master.get());
            }
        }
    }
    for (Resource* master : masters) {
        if (!processor.process(*master)) {
            return;
        }
    }
}

bool ResourceManager::hasType(const std::string& typeName) const {
    return registry.count(typeName) != 0;
}

size_t ResourceManager::getEntryCount(const std::string& typeName) const {
    const auto type = registry.find(typeName);
    return type == registry.end() ? 0 : type->second.size();
}

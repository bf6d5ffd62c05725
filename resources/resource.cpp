#include "resources/resource.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "resources/resourcemanager.h"

namespace {
const char* const kSource = "Resource";

// The last reference takes the object back and frees it.
template <class T>
void unreference(T* object) {
    if (--object->refCount == 0) {
        std::unique_ptr<T> last(object);
    }
}
} // namespace

uint32_t hashText(const std::string& text) {
    uint32_t h = 0;
    for (const char c : text) {
        h = 5 * h + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    }
    return h;
}

const char* Resource::Data::typeName(int depth) const {
    return depth == 0 ? typeNameOf<Resource>() : nullptr;
}

std::string Resource::Data::describe(const Flags* flags) const {
    std::string text = "Data shared " + std::to_string(refCount);
    if (flags != nullptr) {
        text += ", Flags shared " + std::to_string(flags->refCount);
    } else {
        text += ", no Flags";
    }
    return text;
}

std::unique_ptr<Resource::Data> Resource::Data::clone() const {
    return nullptr;
}

std::unique_ptr<Resource::Data::Flags> Resource::Data::createFlags() const {
    return nullptr;
}

bool Resource::Data::equals(const Data&) const {
    return false;
}

Resource::Resource() : Resource(emptyData<Data>()) {}

Resource::Resource(Data* shared) : data(shared) {
    ++data->refCount;
}

Resource::Resource(std::unique_ptr<Data> fresh) : data(fresh.release()) {}

Resource::Resource(const Resource& other) : Resource() {
    Resource::assign(other);
}

Resource::Resource(const Resource& other, Shared) : data(other.data), flags(other.flags) {
    ++data->refCount;
    if (flags != nullptr) {
        ++flags->refCount;
    }
}

Resource::~Resource() {
    releaseData(true);
    releaseFlags();
}

Resource& Resource::assign(const Resource& other) {
    // Counted before the release, so that assigning a handle to itself (or to
    // one whose data only it keeps alive) does not free what it takes.
    Data* sharedData = other.data;
    Data::Flags* sharedFlags = other.flags;
    ++sharedData->refCount;
    if (sharedFlags != nullptr) {
        ++sharedFlags->refCount;
    }
    try {
        release();
    } catch (...) {
        --sharedData->refCount;
        if (sharedFlags != nullptr) {
            --sharedFlags->refCount;
        }
        throw;
    }
    Data* empty = data;
    data = sharedData;
    flags = sharedFlags;
    unreference(empty);
    if (data->isManaged() && !data->isEmpty()) {
        manage();
    }
    return *this;
}

void Resource::release() {
    releaseData(false);
    releaseFlags();
}

void Resource::releaseData(bool fromDestructor) {
    if (data->isManaged() && !data->isEmpty()) {
        if (!fromDestructor) {
            ResourceManager::instance().remove(this);
        } else if (!ResourceManager::instance().removeIfAdded(this)) {
            log(ERROR, kSource, ResourceManager::kNotAddedMessage);
        }
    }
    Data* old = data;
    data = emptyData<Data>();
    ++data->refCount;
    unreference(old);
}

void Resource::releaseFlags() {
    if (flags != nullptr) {
        Data::Flags* old = flags;
        flags = nullptr;
        unreference(old);
    }
}

std::string Resource::toString() const {
    return data->isEmpty() ? "[empty]" : data->describe(flags);
}

void Resource::makeFlagsMutable() {
    if (flags != nullptr) {
        if (flags->refCount != 1) {
            std::unique_ptr<Data::Flags> copy = flags->clone();
            releaseFlags();
            flags = copy.release();
        }
        return;
    }
    if (data->isEmpty()) {
        throw IllegalStateException("mutation not allowed, smart reference is empty.");
    }
    flags = data->createFlags().release();
}

void Resource::manage() {
    ResourceManager::instance().add(this);
}

bool Resource::shareRegistered(Data* emptyOfClass) {
    Resource* master = ResourceManager::instance().find(this);
    if (master == nullptr) {
        return false;
    }
    Data* fresh = data;
    data = emptyOfClass;
    ++data->refCount;
    unreference(fresh);
    assign(*master);
    return true;
}

void Resource::shareFlagsOf(const Resource& other) {
    Data::Flags* shared = other.flags;
    if (shared != nullptr) {
        ++shared->refCount;
    }
    releaseFlags();
    flags = shared;
}

void Resource::takeFlags(std::unique_ptr<Data::Flags> fresh) {
    releaseFlags();
    flags = fresh.release();
}

void Resource::throwCastFailure(const Resource& other) const {
    throw ResourceCastException(std::string("can not convert from '") + other.typeName(0) + "' to '" +
                                typeName(0) + "'");
}

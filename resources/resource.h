#pragma once

#include "base/exceptions.h"
#include "base/tools.h"

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>

// className (core/tools.h) of T, computed once. Never freed, so handles released
// during static destruction can still name their type.
template <class T>
const char* typeNameOf() {
    static const std::string* const name = new std::string(className(typeid(T)));
    return name->c_str();
}

// The empty data object of a data class: default-built on first use and never
// deleted (its count never returns to 0), so default handles and handles
// released during static destruction always find it.
template <class D>
D* emptyData() {
    static D* const empty = new D();
    return empty;
}

// h = 5 * h + c over the characters taken as signed bytes.
uint32_t hashText(const std::string& text);

// A typed handle assignment from a handle of another kind.
class ResourceCastException : public std::bad_cast {
public:
    explicit ResourceCastException(std::string message) : message(std::move(message)) {}
    const char* what() const noexcept override { return message.c_str(); }

private:
    std::string message;
};

// A value handle on reference-counted resource data and optional flags.
// Copies share both; the last holder of a data or flags object frees it.
// A handle of managed data is registered with the ResourceManager by its
// address, so handles are copied but never moved: a move would leave the
// registry pointing at the old place.
class Resource {
public:
    // What a resource is (an image's file name, an OpenGL texture name).
    class Data {
    public:
        // State that belongs to the data but can be held by a group of its
        // handles (decoded pixels, texture parameters).
        class Flags {
        public:
            Flags() = default;
            Flags(const Flags&) = delete;
            Flags& operator=(const Flags&) = delete;
            virtual ~Flags() = default;

            // A new flags object with a copy of the state.
            virtual std::unique_ptr<Flags> clone() const = 0;

            uint32_t refCount = 1;
        };

        Data() = default;
        Data(const Data&) = delete;
        Data& operator=(const Data&) = delete;
        virtual ~Data() = default;

        // Depth 0: the type name of the handle class this data belongs to;
        // depth n: the parent data class's name at depth n - 1; null past the
        // end of the chain.
        virtual const char* typeName(int depth) const;
        virtual std::string describe(const Flags* flags) const;
        // Null: this kind cannot be cloned.
        virtual std::unique_ptr<Data> clone() const;
        // Null: this kind has no flags.
        virtual std::unique_ptr<Flags> createFlags() const;
        virtual bool isManaged() const { return false; }
        virtual bool isEmpty() const { return true; }
        virtual bool equals(const Data& other) const;
        // Must agree with equals.
        virtual uint32_t hash() const { return 0; }

        uint32_t refCount = 1;
    };

    Resource();
    Resource(const Resource& other);
    Resource& operator=(const Resource& other) { return assign(other); }
    Resource(Resource&&) = delete;
    Resource& operator=(Resource&&) = delete;
    virtual ~Resource();

    // Shares other's data and flags. Typed handles refuse data of another
    // kind with a ResourceCastException and stay unchanged.
    virtual Resource& assign(const Resource& other);
    // Lets go of the data (deregistering the handle) and the flags; the handle
    // then refers to the empty Resource data.
    void release();

    const char* typeName(int depth) const { return data->typeName(depth); }
    // "[empty]" or the data's description.
    std::string toString() const;
    // A handle holding flags counts as non-empty even if its data is empty.
    bool isEmpty() const { return data->isEmpty() && flags == nullptr; }
    bool equals(const Resource& other) const { return data->equals(*other.data); }
    // Copy on write: afterwards this handle is the only holder of its flags,
    // created if it had none.
    void makeFlagsMutable();
    void manage();

    // The shared data as it is, for counts and descriptions.
    const Data& getSharedData() const { return *data; }

protected:
    // Shares an existing data object: a class's empty data.
    explicit Resource(Data* shared);
    // Takes over a freshly built data object; its first count is this handle's.
    explicit Resource(std::unique_ptr<Data> fresh);

    // *object as a T; IllegalStateException with message when it is none.
    template <class T, class U>
    static T& downcast(U* object, const char* message) {
        auto* typed = dynamic_cast<T*>(object);
        if (typed == nullptr) {
            throw IllegalStateException(message);
        }
        return *typed;
    }

    // Throws ResourceCastException unless other's data is a D.
    template <class D>
    void checkAssignable(const Resource& other) const {
        if (dynamic_cast<const D*>(other.data) == nullptr) {
            throwCastFailure(other);
        }
    }

    // For constructors holding fresh, unregistered data: when an equal
    // resource is registered, drops the fresh data, starts over from
    // emptyOfClass and shares the registered one. False when there is none.
    bool shareRegistered(Data* emptyOfClass);

    // Holds other's flags too (this handle must hold none).
    void shareFlagsOf(const Resource& other);
    // Holds a fresh flags object (this handle must hold none).
    void takeFlags(std::unique_ptr<Data::Flags> fresh);
    void releaseFlags();

    static bool holdsFlags(const Resource& handle) { return handle.flags != nullptr; }

    Data* data;                   // never null
    Data::Flags* flags = nullptr; // null: no flags

private:
    friend class ResourceManager;
    struct Shared {};
    // The manager's master handle: shares both objects without registering.
    Resource(const Resource& other, Shared);

    [[noreturn]] void throwCastFailure(const Resource& other) const;
    // In a destructor a handle that cannot be deregistered is logged, not
    // thrown: a throwing destructor ends the program.
    void releaseData(bool fromDestructor);
};

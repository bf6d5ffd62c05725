#include "base/exceptions.h"
#include "resources/image.h"
#include "resources/resourcemanager.h"
#include "resources/texture.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

// Outside the unnamed namespace: their type names key the registry.

// A managed resource kind keyed by a number (0: empty) that counts how many
// of its data objects were destroyed.
class Token : public Resource {
public:
    struct TokenData : Data {
        struct TokenFlags : Flags {
            std::unique_ptr<Flags> clone() const override {
                auto copy = std::make_unique<TokenFlags>();
                copy->value = value;
                return copy;
            }
            int value = 0;
        };

        explicit TokenData(int key = 0) : key(key) {}
        ~TokenData() override { ++destroyed; }

        const char* typeName(int depth) const override {
            return depth == 0 ? typeNameOf<Token>() : Data::typeName(depth - 1);
        }
        std::unique_ptr<Flags> createFlags() const override { return std::make_unique<TokenFlags>(); }
        bool isManaged() const override { return true; }
        bool isEmpty() const override { return key == 0; }
        bool equals(const Data& other) const override {
            const auto* token = dynamic_cast<const TokenData*>(&other);
            return token != nullptr && token->key == key;
        }
        uint32_t hash() const override { return static_cast<uint32_t>(key); }

        int key = 0;
        static inline int destroyed = 0;
    };

    Token() : Resource(emptyData<TokenData>()) {}
    explicit Token(int key) : Token(std::make_unique<TokenData>(key)) {}

    Resource& assign(const Resource& other) override {
        checkAssignable<TokenData>(other);
        return Resource::assign(other);
    }

    TokenData& getData() const { return dynamic_cast<TokenData&>(*data); }
    TokenData::TokenFlags* getFlags() const { return dynamic_cast<TokenData::TokenFlags*>(flags); }

protected:
    explicit Token(std::unique_ptr<Data> fresh) : Resource(std::move(fresh)) {
        if (!shareRegistered(emptyData<TokenData>()) && !data->isEmpty()) {
            manage();
        }
    }
};

namespace {

// Records the handles it visits.
class Recorder : public ResourceProcessor {
public:
    bool process(Resource& handle) override {
        visited.push_back(&handle);
        return true;
    }
    std::vector<Resource*> visited; // not owned
};

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override { Token::TokenData::destroyed = 0; }
    std::vector<Resource*> sharing(const Resource& handle) {
        Recorder recorder;
        manager.processSharing(&handle, recorder);
        return recorder.visited;
    }
    ResourceManager& manager = ResourceManager::instance();
};

TEST_F(ResourceTest, Copy_SharesDataAndFlags_EqualDataSharesOneEntry) {
    Token first(1);
    first.makeFlagsMutable();
    Token second(first);
    EXPECT_EQ(&first.getData(), &second.getData());
    EXPECT_EQ(first.getFlags(), second.getFlags());
    EXPECT_EQ(&Token(1).getData(), &first.getData());
    EXPECT_NE(&Token(2).getData(), &first.getData());
    EXPECT_EQ(manager.getEntryCount("class Token"), 1u);
    // Likewise two images built from one file name; names compare case-sensitively.
    Image2D image("textures/cursor/cursor1.png");
    EXPECT_EQ(&Image2D("textures/cursor/cursor1.png").getData(), &image.getData());
    EXPECT_NE(&Image2D("textures/cursor/Cursor1.png").getData(), &image.getData());
    Token empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(manager.find(&empty), nullptr) << "an empty handle is never registered";
}

TEST_F(ResourceTest, SelfAssignment_OfTheOnlyUser_KeepsDataAndFlagsInAFreshEntry) {
    Token token(4);
    token.makeFlagsMutable();
    token.getFlags()->value = 17;
    token.assign(token);
    EXPECT_EQ(Token::TokenData::destroyed, 0);
    ASSERT_NE(token.getFlags(), nullptr);
    EXPECT_EQ(token.getFlags()->value, 17);
    EXPECT_EQ(token.getData().refCount, 2u);
    const std::vector<Resource*> visited = sharing(token);
    ASSERT_EQ(visited.size(), 2u);
    EXPECT_EQ(visited[1], &token);
}

TEST_F(ResourceTest, ReleasingTheLastUser_DeletesMasterAndData_EmptyDataStays) {
    Token probe;
    const uint32_t emptyCount = probe.getData().refCount;
    {
        Token first(5);
        Token second(first);
        std::vector<Token> defaults(10);
        EXPECT_EQ(probe.getData().refCount, emptyCount + 10);
        EXPECT_EQ(manager.getEntryCount("class Token"), 1u);
    }
    EXPECT_EQ(Token::TokenData::destroyed, 1);
    EXPECT_EQ(manager.getEntryCount("class Token"), 0u);
    EXPECT_EQ(probe.getData().refCount, emptyCount);
}

// Handles are registered by address: copied, never moved.
static_assert(std::is_copy_constructible_v<Image2D> && !std::is_move_constructible_v<Image2D>);
static_assert(std::is_copy_assignable_v<ImageTexture2D> && !std::is_move_assignable_v<ImageTexture2D>);
static_assert(!std::is_move_constructible_v<Resource>);

TEST_F(ResourceTest, HandlesInAGrowingVector_StayRegisteredAtTheirNewAddresses) {
    Image2D image("c.png");
    std::vector<Image2D> copies;
    for (int i = 0; i < 40; ++i) {
        copies.push_back(image);
    }
    // Relocated copies register anew, so the users come in no fixed order.
    const std::vector<Resource*> visited = sharing(image);
    ASSERT_EQ(visited.size(), 42u);
    EXPECT_EQ(visited[0], manager.find(&image));
    for (Image2D& copy : copies) {
        EXPECT_EQ(std::count(visited.begin(), visited.end(), &copy), 1);
    }
}

TEST_F(ResourceTest, MakeFlagsMutable_CopiesSharedFlags_RefusesAnEmptyHandle) {
    Token first(7);
    first.makeFlagsMutable();
    first.getFlags()->value = 3;
    Token second(first);
    second.makeFlagsMutable();
    ASSERT_NE(first.getFlags(), second.getFlags());
    EXPECT_EQ(second.getFlags()->value, 3);
    EXPECT_EQ(first.getFlags()->refCount, 1u);
    Token empty;
    EXPECT_THROW(empty.makeFlagsMutable(), IllegalStateException);
    EXPECT_EQ(empty.getFlags(), nullptr);
}

} // namespace

#include "core/exceptions.h"
#include "resources/image.h"
#include "resources/resource.h"
#include "resources/resourcemanager.h"
#include "resources/resourceprocessor.h"
#include "resources/texture.h"
#include "support/logcapture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// Outside the unnamed namespace: their type names key the registry.

// A managed resource kind keyed by a number (0: empty) that counts how many
// of its data objects were destroyed.
class Token : public Resource {
public:
    class TokenData : public Data {
    public:
        class TokenFlags : public Flags {
        public:
            std::unique_ptr<Flags> clone() const override {
                auto copy = std::make_unique<TokenFlags>();
                copy->value = value;
                return copy;
            }
            int value = 0;
        };

        TokenData() = default;
        explicit TokenData(int key) : key(key) {}
        ~TokenData() override { ++destroyed; }

        const char* typeName(int depth) const override {
            return depth == 0 ? typeNameOf<Token>() : Data::typeName(depth - 1);
        }
        std::unique_ptr<Flags> createFlags() const override { return std::make_unique<TokenFlags>(); }
        bool isManaged() const override { return managed; }
        bool isEmpty() const override { return key == 0; }
        bool equals(const Data& other) const override {
            const auto* token = dynamic_cast<const TokenData*>(&other);
            return token != nullptr && token->key == key;
        }
        uint32_t hash() const override { return static_cast<uint32_t>(key); }

        int key = 0;
        bool managed = true;
        static inline int destroyed = 0;
    };

    Token() : Resource(emptyData<TokenData>()) {}
    explicit Token(int key, bool managed = true) : Token(makeData(key, managed)) {}
    Token(const Token& other) = default;
    Token& operator=(const Token& other) = default;
    Token(Token&&) = delete;
    Token& operator=(Token&&) = delete;

    Resource& assign(const Resource& other) override {
        checkAssignable<TokenData>(other);
        return Resource::assign(other);
    }

    static std::unique_ptr<Data> makeData(int key, bool managed) {
        auto made = std::make_unique<TokenData>(key);
        made->managed = managed;
        return made;
    }

    TokenData& getData() const { return dynamic_cast<TokenData&>(*data); }
    TokenData::TokenFlags* getFlags() const { return dynamic_cast<TokenData::TokenFlags*>(flags); }

protected:
    explicit Token(std::unique_ptr<Data> fresh) : Resource(std::move(fresh)) {
        if (!shareRegistered(emptyData<TokenData>()) && !data->isEmpty() && data->isManaged()) {
            manage();
        }
    }
};

// A kind derived from Token, for the walks over a kind and its descendants.
class SubToken : public Token {
public:
    class SubTokenData : public TokenData {
    public:
        using TokenData::TokenData;
        const char* typeName(int depth) const override {
            return depth == 0 ? typeNameOf<SubToken>() : TokenData::typeName(depth - 1);
        }
    };
    explicit SubToken(int key) : Token(std::make_unique<SubTokenData>(key)) {}
};

namespace {

// Records the handles it visits; stops after `limit` of them.
class Recorder : public ResourceProcessor {
public:
    explicit Recorder(size_t limit = SIZE_MAX) : limit(limit) {}
    bool process(Resource& handle) override {
        visited.push_back(&handle);
        names.push_back(handle.typeName(0));
        return visited.size() < limit;
    }
    std::vector<Resource*> visited;
    std::vector<std::string> names;
    size_t limit;
};

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override { Token::TokenData::destroyed = 0; }
    ResourceManager& manager = ResourceManager::instance();
};

// Handles, copies and counts --------------------------------------------------

TEST_F(ResourceTest, DefaultHandle_IsEmptyAndNeverRegistered) {
    Resource handle;
    Token token;
    EXPECT_EQ(handle.toString(), "[empty]");
    EXPECT_TRUE(handle.isEmpty());
    EXPECT_EQ(token.toString(), "[empty]");
    EXPECT_EQ(manager.getEntryCount("class Token"), 0u);
    EXPECT_STREQ(handle.typeName(0), "class Resource");
    EXPECT_EQ(handle.typeName(1), nullptr);
}

TEST_F(ResourceTest, HandleWithFlags_CountsAsNonEmptyEvenWithEmptyData) {
    Token token(3, false);
    token.makeFlagsMutable();
    token.getData().key = 0;
    EXPECT_FALSE(token.isEmpty());
    EXPECT_EQ(token.toString(), "[empty]");
}

TEST_F(ResourceTest, Copy_SharesDataAndFlags_AndDescribesBothCounts) {
    Token first(1);
    first.makeFlagsMutable();
    Token second(first);
    EXPECT_EQ(&first.getData(), &second.getData());
    EXPECT_EQ(first.getFlags(), second.getFlags());
    // Two user handles and the manager's master.
    EXPECT_EQ(first.getData().refCount, 3u);
    EXPECT_EQ(first.getFlags()->refCount, 2u);
    EXPECT_EQ(first.toString(), "Data shared 3, Flags shared 2");
    EXPECT_EQ(Token(2).toString(), "Data shared 2, no Flags");
}

TEST_F(ResourceTest, SelfAssignment_OnlyUser_KeepsDataAndFlagsInAFreshEntry) {
    Token token(4);
    token.makeFlagsMutable();
    token.getFlags()->value = 17;
    token.assign(token);
    EXPECT_EQ(Token::TokenData::destroyed, 0);
    EXPECT_EQ(token.getData().key, 4);
    ASSERT_NE(token.getFlags(), nullptr);
    EXPECT_EQ(token.getFlags()->value, 17);
    EXPECT_EQ(token.getData().refCount, 2u);
    Recorder recorder;
    manager.processSharing(&token, recorder);
    ASSERT_EQ(recorder.visited.size(), 2u);
    EXPECT_EQ(recorder.visited[1], &token);
}

TEST_F(ResourceTest, TwoImagesOfOneFile_ShareOneDataCountedThree) {
    Image2D first("textures/cursor/cursor1.png");
    Image2D second("textures/cursor/cursor1.png");
    Image2D other("textures/cursor/cursor2.png");
    EXPECT_EQ(&first.getData(), &second.getData());
    EXPECT_EQ(first.getData().refCount, 3u);
    EXPECT_NE(&first.getData(), &other.getData());
    EXPECT_EQ(other.getData().refCount, 2u);
}

TEST_F(ResourceTest, ReleasingLastUser_DeletesMasterAndData_TypeMapStays) {
    {
        Token first(5);
        Token second(first);
        EXPECT_EQ(manager.getEntryCount("class Token"), 1u);
    }
    EXPECT_EQ(Token::TokenData::destroyed, 1);
    EXPECT_TRUE(manager.hasType("class Token"));
    EXPECT_EQ(manager.getEntryCount("class Token"), 0u);
}

TEST_F(ResourceTest, EmptyData_CountReturnsAfterHandlesGo_NeverDeleted) {
    Token probe;
    const uint32_t before = probe.getData().refCount;
    {
        std::vector<Token> tokens(10);
        EXPECT_EQ(tokens[0].getData().refCount, before + 10);
    }
    EXPECT_EQ(probe.getData().refCount, before);
    EXPECT_EQ(Token::TokenData::destroyed, 0);
}

// Typed assignment ---------------------------------------------------------------

TEST_F(ResourceTest, TypedAssignment_FromAnotherKind_ThrowsBadCastAndLeavesTarget) {
    Texture texture;
    Image2D image("textures/table/fog1.png");
    EXPECT_EQ(thrownMessage<std::bad_cast>([&] { texture.assign(image); }),
              "can not convert from 'class Image2D' to 'class Texture'");
    EXPECT_EQ(texture.toString(), "[empty]");
    EXPECT_STREQ(texture.typeName(0), "class Texture");
    EXPECT_EQ(image.getData().refCount, 2u);
}

TEST_F(ResourceTest, TypedAssignment_FromBaseKind_ThrowsAndFromDerivedKindShares) {
    Image2D image("a.png");
    ImageA base;
    EXPECT_THROW(image.assign(base), ResourceCastException);
    EXPECT_STREQ(image.typeName(0), "class Image2D");
    base = image;
    EXPECT_EQ(&base.getData(), &image.getData());
    EXPECT_EQ(image.getData().refCount, 3u);
}

// Copy-on-write flags ------------------------------------------------------------

TEST_F(ResourceTest, MakeFlagsMutable_SharedFlags_GetsOwnCopyOfTheState) {
    Token first(7);
    first.makeFlagsMutable();
    first.getFlags()->value = 3;
    Token second(first);
    second.makeFlagsMutable();
    ASSERT_NE(first.getFlags(), second.getFlags());
    EXPECT_EQ(second.getFlags()->value, 3);
    EXPECT_EQ(first.getFlags()->refCount, 1u);
    EXPECT_EQ(second.getFlags()->refCount, 1u);
}

TEST_F(ResourceTest, MakeFlagsMutable_EmptyHandle_ThrowsAndStaysWithoutFlags) {
    Token token;
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { token.makeFlagsMutable(); }),
              "mutation not allowed, smart reference is empty.");
    EXPECT_EQ(token.getFlags(), nullptr);
}

// Registry -------------------------------------------------------------------------

TEST_F(ResourceTest, Add_NullHandle_Throws) {
    EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { manager.add(nullptr); }),
              "empty resources must not be managed");
}

TEST_F(ResourceTest, Remove_UnregisteredHandle_ThrowsAndKeepsEntry) {
    Token registered(9);
    Token sharing(9);
    Token outsider(10, false);
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { manager.remove(&outsider); }),
              "tried to remove a resource which was not added before.");
    outsider.getData().managed = true;
    EXPECT_THROW(outsider.release(), IllegalStateException);
    EXPECT_EQ(outsider.getData().key, 10);
    outsider.getData().managed = false;
    Recorder recorder;
    manager.processSharing(&registered, recorder);
    EXPECT_EQ(recorder.visited.size(), 3u);
}

TEST_F(ResourceTest, Destructor_HandleRemovedBehindItsBack_LogsErrorAndFreesData) {
    LogCapture capture;
    {
        Token token(11);
        manager.remove(&token);
    }
    EXPECT_EQ(Token::TokenData::destroyed, 1);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0],
              "ERROR   from Resource        :tried to remove a resource which was not added before.\n");
}

TEST_F(ResourceTest, ProcessSharing_VisitsMasterThenUsersInRegistrationOrder) {
    Token first(12);
    Token second(first);
    Token third(12);
    Recorder recorder;
    manager.processSharing(&third, recorder);
    ASSERT_EQ(recorder.visited.size(), 4u);
    EXPECT_EQ(recorder.visited[0], manager.find(&first));
    EXPECT_EQ(recorder.visited[1], &first);
    EXPECT_EQ(recorder.visited[2], &second);
    EXPECT_EQ(recorder.visited[3], &third);
}

TEST_F(ResourceTest, ProcessAll_VisitsKindAndDescendantsOnly) {
    Token token(15);
    SubToken sub(16);
    Image2D image("b.png");
    Recorder all;
    manager.processAll(Token(), all);
    ASSERT_EQ(all.names.size(), 2u);
    EXPECT_NE(std::find(all.names.begin(), all.names.end(), "class SubToken"), all.names.end());
    EXPECT_NE(std::find(all.names.begin(), all.names.end(), "class Token"), all.names.end());
    Recorder subOnly;
    manager.processAll(SubToken(16), subOnly);
    EXPECT_EQ(subOnly.names, std::vector<std::string>{"class SubToken"});
}

TEST_F(ResourceTest, ProcessAll_ProcessorSaysStop_EndsAfterOneVisit) {
    Token first(18);
    Token second(19);
    SubToken third(20);
    Recorder recorder(1);
    manager.processAll(Token(), recorder);
    EXPECT_EQ(recorder.visited.size(), 1u);
}

// Handles live at fixed addresses ------------------------------------------------

static_assert(std::is_copy_constructible_v<Image2D> && !std::is_move_constructible_v<Image2D>);
static_assert(std::is_copy_assignable_v<ImageTexture2D> && !std::is_move_assignable_v<ImageTexture2D>);
static_assert(!std::is_move_constructible_v<Resource>);

TEST_F(ResourceTest, HandlesInAGrowingVector_StayRegisteredAtTheirNewAddresses) {
    Image2D image("c.png");
    std::vector<Image2D> copies;
    for (int i = 0; i < 40; ++i) {
        copies.push_back(image);
    }
    Recorder recorder;
    ResourceManager::instance().processSharing(&image, recorder);
    ASSERT_EQ(recorder.visited.size(), 42u);
    for (size_t i = 1; i < recorder.visited.size(); ++i) {
        const auto* handle = static_cast<const Resource*>(recorder.visited[i]);
        const bool known =
            handle == &image || (handle >= static_cast<const Resource*>(copies.data()) &&
                                 handle < static_cast<const Resource*>(copies.data() + copies.size()));
        EXPECT_TRUE(known) << "visit " << i;
    }
    EXPECT_EQ(image.getData().refCount, 42u);
}

// Names and hashes -------------------------------------------------------------------

TEST(ResourceNames, HashText_FivefoldSumOfSignedBytes) {
    EXPECT_EQ(hashText(""), 0u);
    EXPECT_EQ(hashText("abc"), (97u * 5 + 98) * 5 + 99);
    EXPECT_EQ(hashText("\xe9"), 0xFFFFFFE9u);
}

} // namespace

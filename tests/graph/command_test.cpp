#include "base/exceptions.h"
#include "graph/command.h"
#include "graph/commandbuffer.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

TEST(Command, Definition_GivesNameAndTypes_AMalformedOneIsRejectedAndLeavesTheCommandAsItWas) {
    Command command;
    command.define("ping");
    EXPECT_EQ(command.getDefinition(), "ping[]");
    command.define("move[ii]");
    EXPECT_STREQ(command.getName(), "move");
    command.addInt(3);
    const char* const texts[] = {"", "[i]", "a[x]", "a[i", "a]", "a[i]]", "a[b]c]", "a[[i]", nullptr};
    for (const char* text : texts) {
        EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { command.define(text); }),
                  "illegal command definition")
            << (text != nullptr ? text : "null");
    }
    EXPECT_EQ(command.getDefinition(), "move[ii]");
    command.addInt(4);
    command.open(nullptr);
    EXPECT_EQ(command.getInt(), 3);
    EXPECT_EQ(command.getInt(), 4);
}

// Where a call breaks two rules, the message of the rule checked first wins.
TEST(Command, BrokenContracts_ThrowTheirMessagesInTheOrderOfTheChecks) {
    const struct {
        const char* definition; // null: never defined
        int intsAdded;
        bool open;
        std::function<void(Command&)> call;
        const char* message;
    } cases[] = {
        {nullptr, 0, false, [](Command& c) { c.getName(); }, "command not created"},
        {nullptr, 0, false, [](Command& c) { c.open(nullptr); }, "command not created"},
        {nullptr, 0, false, [](Command& c) { c.getInt(); }, "command not created"},
        {"a[i]", 0, true, [](Command& c) { c.define("not valid["); }, "command is open"},
        {"a[i]", 0, true, [](Command& c) { c.open(nullptr); }, "command is open"},
        {"a[i]", 0, false, [](Command& c) { c.addDouble(1.0); }, "illegal parameter type"},
        {"a[i]", 1, false, [](Command& c) { c.addInt(1); }, "too many parameters"},
        {"a", 0, false, [](Command& c) { c.addDouble(1.0); }, "too many parameters"},
        {"a[i]", 1, false, [](Command& c) { c.getDouble(); }, "command is not open"},
        {"a[i]", 0, true, [](Command& c) { c.getDouble(); }, "no parameter to return"},
        {"a[is]", 1, true, [](Command& c) { c.getString(); }, "illegal format requested"},
    };
    for (const auto& c : cases) {
        Command command;
        if (c.definition != nullptr) {
            command.define(c.definition);
        }
        for (int i = 0; i < c.intsAdded; ++i) {
            command.addInt(i);
        }
        if (c.open) {
            command.open(nullptr);
        }
        EXPECT_EQ(thrownMessage<IllegalStateException>([&] { c.call(command); }), c.message) << c.message;
    }
}

TEST(Command, CopyOwnsItsParameters_NullStringIsEmpty) {
    int marker = 0;
    auto original = std::make_unique<Command>();
    original->define("all[idssp]");
    original->addInt(-7);
    original->addDouble(2.5);
    original->addString("kept");
    original->addString(nullptr);
    original->addPointer(&marker);
    Command copy = *original;
    original.reset();
    copy.open(&marker);
    EXPECT_EQ(copy.getSender(), &marker);
    EXPECT_EQ(copy.getInt(), -7);
    EXPECT_EQ(copy.getDouble(), 2.5);
    EXPECT_STREQ(copy.getString(), "kept");
    EXPECT_STREQ(copy.getString(), "");
    EXPECT_EQ(copy.getPointer(), &marker);
}

TEST(CommandBuffer, HandsOutWhatWasPushedInOrder_EmptyHasNone) {
    CommandBuffer buffer;
    Command command;
    command.define("a");
    buffer.push(command);
    command.define("b");
    buffer.push(command);
    EXPECT_STREQ(buffer.next().getName(), "a");
    EXPECT_STREQ(buffer.next().getName(), "b");
    EXPECT_EQ(thrownMessage<NotFoundException>([&] { buffer.next(); }), "no command available");
}

} // namespace

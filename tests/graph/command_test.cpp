#include "core/exceptions.h"
#include "graph/command.h"
#include "graph/commandbuffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The message of the exception of type E that body throws; empty when none.
template <typename E>
std::string thrown(const std::function<void()>& body) {
    try {
        body();
    } catch (const E& e) {
        return e.getMessage();
    }
    return "";
}

// Definitions ---------------------------------------------------------------

TEST(CommandDefinition, NameWithTypesDefinesParameters) {
    Command command;
    command.define("createFigure[i]");
    EXPECT_STREQ(command.getName(), "createFigure");
    EXPECT_EQ(command.getDefinition(), "createFigure[i]");
    command.addInt(4);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.addInt(5); }), "too many parameters");
}

TEST(CommandDefinition, NameAloneHasNoParameters) {
    Command command;
    command.define("ping");
    EXPECT_EQ(command.getDefinition(), "ping[]");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.addInt(1); }), "too many parameters");
}

TEST(CommandDefinition, MalformedTextsAreRejected) {
    for (const char* text : {"", "[i]", "a[x]", "a[i", "a]", "a[i]]", "a[b]c]", "a[[i]"}) {
        Command command;
        EXPECT_EQ(thrown<IllegalArgumentException>([&] { command.define(text); }),
                  "illegal command definition")
            << text;
    }
    Command command;
    EXPECT_EQ(thrown<IllegalArgumentException>([&] { command.define(nullptr); }),
              "illegal command definition");
}

TEST(CommandDefinition, RejectedDefinitionLeavesTheCommandAsItWas) {
    Command command;
    command.define("move[ii]");
    command.addInt(3);
    EXPECT_THROW(command.define("move[q]"), IllegalArgumentException);
    EXPECT_EQ(command.getDefinition(), "move[ii]");
    command.addInt(4);
    command.open(nullptr);
    EXPECT_EQ(command.getInt(), 3);
    EXPECT_EQ(command.getInt(), 4);
}

TEST(CommandDefinition, UndefinedCommandRefusesNameAndOpen) {
    Command command;
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getName(); }), "command not created");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getDefinition(); }), "command not created");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.open(nullptr); }), "command not created");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getInt(); }), "command not created");
}

TEST(CommandDefinition, OpenCommandRefusesRedefinitionBeforeValidating) {
    Command command;
    command.define("a[i]");
    command.open(nullptr);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.define("not valid["); }), "command is open");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.open(nullptr); }), "command is open");
}

// Writing and reading -------------------------------------------------------

TEST(CommandParameters, WrongTypeIsRefusedBeforeAnythingIsStored) {
    Command command;
    command.define("a[i]");
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.addDouble(1.0); }), "illegal parameter type");
    command.addInt(1);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.addDouble(1.0); }), "too many parameters");
}

TEST(CommandParameters, AllKindsRoundTripInOrder) {
    Command command;
    int marker = 0;
    command.define("all[idsp]");
    command.addInt(-7);
    command.addDouble(2.5);
    command.addString("text");
    command.addPointer(&marker);
    command.open(&marker);
    EXPECT_EQ(command.getSender(), &marker);
    EXPECT_EQ(command.getInt(), -7);
    EXPECT_EQ(command.getDouble(), 2.5);
    EXPECT_STREQ(command.getString(), "text");
    EXPECT_EQ(command.getPointer(), &marker);
}

TEST(CommandParameters, ReadingNeedsOpenThenAParameterThenTheRightType) {
    Command command;
    command.define("a[is]");
    command.addInt(1);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getInt(); }), "command is not open");
    command.open(nullptr);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getString(); }), "illegal format requested");
    EXPECT_EQ(command.getInt(), 1);
    EXPECT_EQ(thrown<IllegalStateException>([&] { command.getString(); }), "no parameter to return");
}

TEST(CommandParameters, NullStringIsStoredEmpty) {
    Command command;
    command.define("a[s]");
    command.addString(nullptr);
    command.open(nullptr);
    EXPECT_STREQ(command.getString(), "");
}

TEST(CommandParameters, CopiesOwnTheirStrings) {
    auto original = std::make_unique<Command>();
    original->define("a[s]");
    original->addString("kept");
    Command copy = *original;
    original.reset();
    copy.open(nullptr);
    EXPECT_STREQ(copy.getString(), "kept");
}

TEST(CommandBuffer, EmptyBufferHasNoCommand) {
    CommandBuffer buffer;
    EXPECT_EQ(thrown<NotFoundException>([&] { buffer.next(); }), "no command available");
    Command command;
    command.define("a");
    buffer.push(command);
    EXPECT_STREQ(buffer.next().getName(), "a");
    EXPECT_TRUE(buffer.isEmpty());
}

} // namespace

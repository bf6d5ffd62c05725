#include "ui/textedit.h"

#include <gtest/gtest.h>

namespace {

// One edit: keys as letters ('<' Left, '>' Right, '^' Home, '$' End, 'B'
// Backspace, 'D' Delete), the rest typed.
struct Case {
    const char* keys;
    const char* text;
    size_t caret;
};

void press(TextEdit& edit, const std::string& keys) {
    for (const char key : keys) {
        switch (key) {
        case '<':
            edit.left();
            break;
        case '>':
            edit.right();
            break;
        case '^':
            edit.home();
            break;
        case '$':
            edit.end();
            break;
        case 'B':
            edit.backspace();
            break;
        case 'D':
            edit.erase();
            break;
        default:
            edit.type(key);
            break;
        }
    }
}

TEST(TextEdit, Keys_EditAtTheCaret) {
    const Case cases[] = {
        {"ab<c", "acb", 2},
        {"ab^c", "cab", 1},
        {"abc<<B", "bc", 0},
        {"abc<<D", "ac", 1},
        {"abcB", "ab", 2},
        {"abcD", "abc", 3},
        {"^B", "", 0},
        {"ab<<<<", "ab", 0},
        {"ab>>>>", "ab", 2},
        {"ab^$x", "abx", 3},
        {"a b", "ab", 2},
        {"1.2:3-4", "1.2:3-4", 7},
        {"a/_@b", "ab", 2},
        {"12345678x", "1234567", 7},
        {"1234567^9", "1234567", 0},
    };
    for (const Case& c : cases) {
        TextEdit edit(7);
        press(edit, c.keys);
        EXPECT_EQ(edit.getText(), c.text) << c.keys;
        EXPECT_EQ(edit.getCaret(), c.caret) << c.keys;
    }
}

TEST(TextEdit, NonAsciiAndControl_Refused) {
    TextEdit edit(20);
    for (const char c : std::string("\xc3\xa9\t\n \x7f")) {
        EXPECT_FALSE(edit.type(c)) << static_cast<int>(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(edit.getText(), "");
}

TEST(TextEdit, Paste_TakesWhatFitsAndAcceptsAtTheCaret) {
    TextEdit edit(9);
    edit.setText("ab");
    edit.home();
    EXPECT_TRUE(edit.paste(" 10.0.0.1\n:47621"));
    EXPECT_EQ(edit.getText(), "10.0.0.ab");
    EXPECT_EQ(edit.getCaret(), 7u);
    EXPECT_FALSE(edit.paste("x"));
    EXPECT_FALSE(TextEdit(9).paste(" \n\t"));
}

TEST(TextEdit, FirstShown_KeepsTheCaretInView) {
    TextEdit edit(20);
    edit.setText("abcdefghij");
    // The caret after the last character takes a cell of its own.
    EXPECT_EQ(edit.firstShown(4), 7u);
    edit.home();
    EXPECT_EQ(edit.firstShown(4), 0u);
    edit.moveCaretTo(4);
    EXPECT_EQ(edit.firstShown(4), 1u);
    edit.moveCaretTo(5);
    EXPECT_EQ(edit.firstShown(4), 2u);
    edit.moveCaretTo(3);
    EXPECT_EQ(edit.firstShown(4), 2u);
    // The whole text fits: all of it from the start.
    EXPECT_EQ(edit.firstShown(20), 0u);
}

} // namespace

#pragma once

#include <cstddef>
#include <string>

// The editing of one line of typed text, without drawing: the text, the
// caret between its characters and the part of a long text that is in
// view. It takes what an address or a join code is written with (letters,
// digits, '.', ':' and '-') up to a length limit, and nothing else.
class TextEdit {
public:
    explicit TextEdit(size_t maxLength) : limit(maxLength) {}

    // Whether c may be typed.
    static bool accepts(char c);

    // Inserts c at the caret; false, changing nothing, for a character it
    // does not accept or a full text.
    bool type(char c);
    // Inserts the accepted characters of text at the caret, as many as fit;
    // spaces, line ends and the rest are left out. False when none was taken.
    bool paste(const std::string& text);
    // The character before the caret, or after it (Delete); false at the end.
    bool backspace();
    bool erase();
    void left();
    void right();
    void home();
    void end();
    // Replaces the text (what it accepts of it, up to the limit), caret at the end.
    void setText(const std::string& text);
    // Puts the caret before character index (at most the text's length).
    void moveCaretTo(size_t index);

    const std::string& getText() const { return text; }
    size_t getCaret() const { return caret; }
    size_t getLimit() const { return limit; }
    // The first character in view when width characters fit, moved only as
    // far as the caret needs to stay in view (at the end, after the last
    // character, when it is there).
    size_t firstShown(size_t width);

private:
    std::string text;
    size_t caret = 0;
    size_t limit;
    size_t first = 0;
};

#include "ui/textedit.h"

#include <algorithm>
#include <cctype>

bool TextEdit::accepts(char c) {
    const auto u = static_cast<unsigned char>(c);
    // Only ASCII letters and digits: isalnum would take a locale's other letters.
    return u < 0x80 && (std::isalnum(u) != 0 || c == '.' || c == ':' || c == '-');
}

bool TextEdit::type(char c) {
    if (!accepts(c) || text.size() >= limit) {
        return false;
    }
    text.insert(caret, 1, c);
    ++caret;
    return true;
}

bool TextEdit::paste(const std::string& pasted) {
    bool taken = false;
    for (const char c : pasted) {
        taken = type(c) || taken;
    }
    return taken;
}

bool TextEdit::backspace() {
    if (caret == 0) {
        return false;
    }
    text.erase(--caret, 1);
    return true;
}

bool TextEdit::erase() {
    if (caret >= text.size()) {
        return false;
    }
    text.erase(caret, 1);
    return true;
}

void TextEdit::left() {
    caret = caret > 0 ? caret - 1 : 0;
}

void TextEdit::right() {
    caret = std::min(caret + 1, text.size());
}

void TextEdit::home() {
    caret = 0;
}

void TextEdit::end() {
    caret = text.size();
}

void TextEdit::setText(const std::string& newText) {
    text.clear();
    caret = 0;
    first = 0;
    paste(newText);
}

void TextEdit::moveCaretTo(size_t index) {
    caret = std::min(index, text.size());
}

size_t TextEdit::firstShown(size_t width) {
    if (width == 0) {
        return caret;
    }
    // The caret after the last character needs a cell of its own.
    first = std::min(first, caret);
    if (caret >= first + width) {
        first = caret - width + 1;
    }
    // Room at the end is given back to the text before it.
    const size_t needed = text.size() + (caret == text.size() ? 1 : 0);
    if (first > 0 && needed < first + width) {
        first = needed > width ? needed - width : 0;
    }
    return first;
}

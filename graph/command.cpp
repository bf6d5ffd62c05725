#include "graph/command.h"

#include "base/exceptions.h"

namespace {

const char* const kTypeLetters = "idsp";

// Splits a definition into name and types; false when it is not valid.
bool parseDefinition(const std::string& text, std::string& name, std::string& types) {
    const size_t open = text.find('[');
    if (open == std::string::npos) {
        name = text;
        types.clear();
    } else {
        if (text.back() != ']') {
            return false;
        }
        name = text.substr(0, open);
        types = text.substr(open + 1, text.size() - open - 2);
    }
    return !name.empty() && name.find_first_of("[]") == std::string::npos &&
           types.find_first_not_of(kTypeLetters) == std::string::npos;
}

} // namespace

void Command::define(const char* definition) {
    if (opened) {
        throw IllegalStateException("command is open");
    }
    std::string newName;
    std::string newTypes;
    if (definition == nullptr || !parseDefinition(definition, newName, newTypes)) {
        throw IllegalArgumentException("illegal command definition");
    }
    parameters.clear();
    readIndex = 0;
    name = newName;
    types = newTypes;
}

void Command::requireCreated() const {
    if (name.empty()) {
        throw IllegalStateException("command not created");
    }
}

const char* Command::getName() const {
    requireCreated();
    return name.c_str();
}

std::string Command::getDefinition() const {
    requireCreated();
    return name + "[" + types + "]";
}

void Command::open(void* newSender) {
    requireCreated();
    if (opened) {
        throw IllegalStateException("command is open");
    }
    opened = true;
    sender = newSender;
    readIndex = 0;
}

void Command::expectNext(char letter) const {
    const size_t count = parameters.size();
    if (count >= types.size()) {
        throw IllegalStateException("too many parameters");
    }
    if (types[count] != letter) {
        throw IllegalStateException("illegal parameter type");
    }
}

// Each value is constructed in its place in the list: a temporary variant
// moved in makes GCC 12 at -O3 warn about the string alternative that the
// move never touches.
void Command::addInt(int value) {
    expectNext('i');
    parameters.emplace_back(std::in_place_type<int>, value);
}

void Command::addDouble(double value) {
    expectNext('d');
    parameters.emplace_back(std::in_place_type<double>, value);
}

void Command::addString(const char* value) {
    expectNext('s');
    parameters.emplace_back(std::in_place_type<std::string>, value != nullptr ? value : "");
}

void Command::addPointer(void* value) {
    expectNext('p');
    parameters.emplace_back(std::in_place_type<void*>, value);
}

const Command::Parameter& Command::next(char letter) {
    requireCreated();
    if (!opened) {
        throw IllegalStateException("command is not open");
    }
    if (readIndex >= parameters.size()) {
        throw IllegalStateException("no parameter to return");
    }
    if (types[readIndex] != letter) {
        throw IllegalStateException("illegal format requested");
    }
    return parameters[readIndex++];
}

int Command::getInt() {
    return std::get<int>(next('i'));
}

double Command::getDouble() {
    return std::get<double>(next('d'));
}

const char* Command::getString() {
    return std::get<std::string>(next('s')).c_str();
}

void* Command::getPointer() {
    return std::get<void*>(next('p'));
}

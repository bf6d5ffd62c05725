#pragma once

#include <string>
#include <variant>
#include <vector>

// A typed message: a name, a fixed list of parameter types and the values,
// written by a sender and read in order by a receiver.
//
// A definition is a name alone or a name followed by "[", type letters and
// "]"; the letters are i (int), d (double), s (string) and p (pointer).
class Command {
public:
    // Throws IllegalStateException "command is open" while open, and
    // IllegalArgumentException "illegal command definition" for a bad text;
    // a rejected definition leaves the command as it was.
    void define(const char* definition);

    const char* getName() const;
    std::string getDefinition() const;

    void open(void* sender);
    void* getSender() const { return sender; }

    void addInt(int value);
    void addDouble(double value);
    // Null stores the empty string.
    void addString(const char* value);
    void addPointer(void* value);

    int getInt();
    double getDouble();
    const char* getString();
    void* getPointer();

private:
    // Strings are held by value, so copies of a command share nothing.
    using Parameter = std::variant<int, double, std::string, void*>;

    void requireCreated() const;
    // Throws unless the next parameter may be of the type letter.
    void expectNext(char letter) const;
    const Parameter& next(char letter);

    bool opened = false;
    void* sender = nullptr; // not owned
    std::string name;
    std::string types;
    size_t readIndex = 0;
    std::vector<Parameter> parameters;
};

#pragma once

#include <string>

// The what() text of the E that call throws, or "" when it throws nothing.
// Other exceptions pass through and fail the test.
template <class E, class Call>
std::string thrownMessage(Call call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

#pragma once

#include "core/system.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/tempdir.h"

#include <string>
#include <vector>

// A fresh temporary directory that is the asset root (argument path) while
// it lives.
class TempAssets : public TempDir {
public:
    TempAssets() {
        const std::string argument = "path=" + path();
        const char* arguments[] = {"sporrik_tests", argument.c_str()};
        System::instance()->setArguments(2, arguments);
    }
    ~TempAssets() {
        const char* arguments[] = {"sporrik_tests"};
        System::instance()->setArguments(1, arguments);
    }
};

// The captured messages with the continuation lines of long ones joined again.
inline std::vector<std::string> joinedMessages(const LogCapture& capture) {
    std::vector<std::string> joined;
    bool continues = false;
    for (std::string message : capture.messages()) {
        const bool cut = !message.empty() && message.back() == '\\';
        if (cut) {
            message.pop_back();
        }
        if (continues) {
            joined.back() += message;
        } else {
            joined.push_back(message);
        }
        continues = cut;
    }
    return joined;
}

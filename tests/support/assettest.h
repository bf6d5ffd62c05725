#pragma once

#include "base/tools.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/tempdir.h"

#include <string>
#include <vector>

// A fresh temporary directory that is the asset root (setAssetDirectory) while
// it lives.
class TempAssets : public TempDir {
public:
    TempAssets() { setAssetDirectory(path()); }
    ~TempAssets() { setAssetDirectory(""); }
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
        (continues ? joined.back() : joined.emplace_back()) += message;
        continues = cut;
    }
    return joined;
}

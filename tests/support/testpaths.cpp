#include "support/testpaths.h"

std::string assetDir() {
    return SPORRIK_ASSET_DIR;
}

std::string testDataDir() {
    return SPORRIK_TEST_DATA;
}

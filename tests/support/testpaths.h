#pragma once

#include <string>

// The generated asset directory of the build.
std::string assetDir();
// The conformance files kept with the tests.
std::string testDataDir();

#include "sound/sample.h"

#include "sound/soundlibrary.h"

Sample::~Sample() {
    if (handle != nullptr) {
        FSOUND_Sample_Free(handle);
    }
}

bool Sample::load(const std::string& fileName) {
    handle = FSOUND_Sample_Load(FSOUND_FREE, fileName.c_str(), 0, 0);
    if (handle == nullptr) {
        return false;
    }
    name = fileName;
    return true;
}

int Sample::play() {
    return FSOUND_PlaySound(FSOUND_FREE, handle);
}

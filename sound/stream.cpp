#include "sound/stream.h"

#include "base/log.h"
#include "base/tools.h"
#include "sound/soundlibrary.h"

namespace {
const char* const kSource = "SoundSystem";
}

Stream::~Stream() {
    close();
}

void Stream::close() {
    // A stream that never opened has nothing to close and nothing to report.
    if (handle == nullptr) {
        return;
    }
    if (!FSOUND_Stream_Close(handle)) {
        log(ERROR, kSource, "could not close stream");
    }
    handle = nullptr;
    name.clear();
}

bool Stream::load(const std::string& fileName) {
    close();
    handle = FSOUND_Stream_OpenFile(fileName.c_str(), 0, 0);
    if (handle == nullptr) {
        log(ERROR, kSource, "load: stream could not be opened");
        return false;
    }
    name = fileName;
    return true;
}

int Stream::play() {
    return FSOUND_Stream_Play(FSOUND_FREE, handle);
}

bool Stream::stop() {
    return FSOUND_Stream_Stop(handle);
}

int Stream::getLengthMs() {
    return FSOUND_Stream_GetLengthMs(handle);
}

int Stream::getTime() {
    return FSOUND_Stream_GetTime(handle);
}

bool Stream::setTime(int ms) {
    return FSOUND_Stream_SetTime(handle, ms);
}

bool Stream::setMode(unsigned int mode) {
    return FSOUND_Stream_SetMode(handle, mode);
}

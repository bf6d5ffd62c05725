#pragma once

#include <string>

struct FSOUND_STREAM;

// One file streamed on the music channel. The channel is shared with the
// sound system's song and stream: whichever plays last silences the others.
class Stream {
public:
    Stream() = default;
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Opens the file, closing the one opened before.
    bool load(const std::string& fileName);
    int play();
    bool stop();
    int getLengthMs();
    // Milliseconds.
    int getTime();
    bool setTime(int ms);
    // FSOUND_LOOP_OFF or FSOUND_LOOP_NORMAL, for the next play().
    bool setMode(unsigned int mode);

    const std::string& getName() const { return name; }

private:
    void close();

    FSOUND_STREAM* handle = nullptr; // closed in the destructor
    std::string name;
};

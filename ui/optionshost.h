#pragma once

#include "ui/optionvalues.h"

// What the options menu asks of the application: the values in effect and
// a way to change them at once, and the sound's mute, which lies over the
// volume without changing it.
class OptionsHost {
public:
    virtual OptionValues getOptions() const = 0;
    virtual void setOptions(const OptionValues& values) = 0;
    virtual bool isMuted() const = 0;
    virtual void setMuted(bool muted) = 0;

protected:
    OptionsHost() = default;
    OptionsHost(const OptionsHost&) = default;
    OptionsHost& operator=(const OptionsHost&) = default;
    ~OptionsHost() = default;
};

#pragma once

// A token bucket: holds up to burst tokens, gains rate tokens a second, and
// each event takes one. Times are seconds of a steady clock.
class RateLimiter {
public:
    RateLimiter(double rate, double burst, double now);

    // Takes a token if one is there.
    bool take(double now);
    // A token is there, none is taken.
    bool available(double now);
    // Back to full: an idle key need not be kept.
    bool isFull(double now);

private:
    void refill(double now);

    double rate;
    double burst;
    double tokens;
    double last;
};

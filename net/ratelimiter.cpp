#include "net/ratelimiter.h"

#include <algorithm>

RateLimiter::RateLimiter(double rate, double burst, double now)
    : rate(rate), burst(burst), tokens(burst), last(now) {}

bool RateLimiter::take(double now) {
    refill(now);
    if (tokens < 1.0) {
        return false;
    }
    tokens -= 1.0;
    return true;
}

bool RateLimiter::available(double now) {
    refill(now);
    return tokens >= 1.0;
}

bool RateLimiter::isFull(double now) {
    refill(now);
    return tokens >= burst;
}

void RateLimiter::refill(double now) {
    // A clock that steps back gives nothing and takes nothing.
    if (now > last) {
        tokens = std::min(burst, tokens + (now - last) * rate);
        last = now;
    }
}

#include "net/randombytes.h"

#include "base/exceptions.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/random.h>

void RandomBytes::fill(uint8_t* out, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::getrandom(out + done, size - done, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw IllegalStateException(std::string("no random bytes from the system: ") +
                                        std::strerror(errno));
        }
        done += static_cast<size_t>(n);
    }
}

#include "platform/system/random.h"

#include <sys/random.h>

#include <cerrno>

bool SystemRandomBytes(uint8_t* out, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        ssize_t got = getrandom(out + filled, size - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

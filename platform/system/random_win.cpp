#include "platform/system/random.h"

#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <cerrno>

bool SystemRandomBytes(uint8_t* out, std::size_t size) {
    // The system-preferred generator needs no algorithm handle.
    while (size > 0) {
        const ULONG part = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, out, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            errno = EIO;
            return false;
        }
        out += part;
        size -= part;
    }
    return true;
}

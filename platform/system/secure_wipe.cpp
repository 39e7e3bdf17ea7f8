#include "platform/system/secure_wipe.h"

#include <cstring>

void SecureWipe(void* data, std::size_t size) {
    if (data == nullptr || size == 0) return;
    std::memset(data, 0, size);
    // The barrier tells the compiler the zeroed memory is observed, so the
    // memset cannot be removed as a dead store.
    __asm__ __volatile__("" : : "r"(data) : "memory");
}

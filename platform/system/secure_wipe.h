#pragma once
#include <cstddef>

/// Overwrites `size` bytes at `data` with zeros in a way the compiler may not
/// elide. Every secret (keys, key schedules, passwords, plaintext buffers) is
/// passed through this before its memory is released.
void SecureWipe(void* data, std::size_t size);

/// Wipes a trivially copyable object in place.
template <typename T>
void SecureWipeObject(T& object) {
    SecureWipe(&object, sizeof(T));
}

#pragma once
#include <cstddef>
#include <cstdint>

/// Fills `out` with `size` bytes from the operating system's cryptographic
/// random source (getrandom). Returns false only if the source fails, in which
/// case the caller must not use the buffer.
bool SystemRandomBytes(uint8_t* out, std::size_t size);

#pragma once
// Heap and stack holders for secrets that are wiped before their memory goes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "platform/system/secure_wipe.h"

/// A heap buffer for plaintext or key material, wiped on release. Taking the
/// memory can fail: check `ok()` before use.
class SecretBuffer {
  public:
    explicit SecretBuffer(std::size_t size)
        : data_(new (std::nothrow) uint8_t[size]), size_(data_ ? size : 0) {}
    ~SecretBuffer() { SecureWipe(data_.get(), size_); }
    SecretBuffer(const SecretBuffer&) = delete;
    SecretBuffer& operator=(const SecretBuffer&) = delete;

    bool ok() const { return data_ != nullptr; }
    uint8_t* data() { return data_.get(); }
    std::size_t size() const { return size_; }

  private:
    std::unique_ptr<uint8_t[]> data_;
    std::size_t size_;
};

/// A plain object (a key schedule, a key) wiped when it goes out of scope.
template <typename T>
struct Wiped {
    T value{};
    Wiped() = default;
    ~Wiped() { SecureWipeObject(value); }
    Wiped(const Wiped&) = delete;
    Wiped& operator=(const Wiped&) = delete;
};

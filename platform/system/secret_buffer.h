#pragma once
// Holders for secrets (keys, key schedules, passwords, plaintext buffers):
// every one of them is wiped with SecureWipe before its memory is released.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

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

/// An allocator that wipes every block before giving it back, so a string
/// that grows leaves no copy of its old contents behind.
template <typename T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept {
        SecureWipe(p, n * sizeof(T));
        std::allocator<T>().deallocate(p, n);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const noexcept {
        return true;
    }
};

/// Text that holds a secret (a password as typed, in UTF-8 or UTF-16). Its
/// memory is wiped whenever the string gives it back, and the characters
/// kept inside the object itself (short strings) when it goes.
template <typename Char>
class SecretText {
  public:
    using String = std::basic_string<Char, std::char_traits<Char>, WipingAllocator<Char>>;

    SecretText() { text.reserve(kInitialCapacity); }
    ~SecretText() { SecureWipe(text.data(), text.capacity() * sizeof(Char)); }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    String text;

  private:
    // Beyond any password a key can hold, so typing never reallocates.
    static constexpr std::size_t kInitialCapacity = 256;
};

using SecretString = SecretText<char>;
using SecretU16String = SecretText<char16_t>;

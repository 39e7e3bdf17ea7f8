#pragma once
// The implementations ("code paths") of one cipher or digest function and the
// choice among them. A table lists the portable code first (it runs
// everywhere and is the reference the tests hold the others to) and the
// preferred path last; the function uses the last path this processor can
// run, the portable one when QUORVANE_CPU=portable is set, or the one a test
// or benchmark selected.

#include <atomic>
#include <cstddef>
#include <span>

#include "platform/system/cpu_features.h"

namespace cpu {

template <typename Function>
struct CodePath {
    const char* name;     // as --version shows it: "portable", "sha-ni", ...
    bool (*available)();  // whether this processor has the instructions (cpu::Detected())
    Function function;
};

/// The availability check of the portable paths.
inline bool Always() {
    return true;
}

template <typename Function>
class CodePaths {
  public:
    using Path = CodePath<Function>;

    template <std::size_t N>
    explicit constexpr CodePaths(const Path (&table)[N]) : table_(table) {}

    /// Every path built for this architecture, portable first, preferred last.
    std::span<const Path> All() const { return table_; }
    const Path& Portable() const { return table_.front(); }

    /// The path in use: the selected one, else the automatic choice, made at
    /// the first call.
    const Path& Active() {
        const Path* path = chosen_.load(std::memory_order_acquire);
        if (path == nullptr) {
            path = &Automatic();
            chosen_.store(path, std::memory_order_release);
        }
        return *path;
    }

    /// Makes the function use `path` (one of All()) from now on; null returns
    /// to the automatic choice. Not while another thread uses the function.
    void Select(const Path* path) { chosen_.store(path, std::memory_order_release); }

  private:
    const Path& Automatic() const {
        if (PortableForced()) return Portable();
        const Path* preferred = &Portable();
        for (const Path& path : table_) {
            if (path.available()) preferred = &path;
        }
        return *preferred;
    }

    std::span<const Path> table_;
    std::atomic<const Path*> chosen_{nullptr};
};

}  // namespace cpu

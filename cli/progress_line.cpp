#include "cli/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

bool ProgressLine::Shown() {
    // Asked once: a list of small files would otherwise ask for every file.
    static const bool terminal = isatty(STDERR_FILENO) == 1;
    return terminal;
}

ProgressLine::ProgressLine(std::string label, uint64_t total_bytes)
    : label_(std::move(label)),
      total_bytes_(total_bytes),
      enabled_(Shown()),
      start_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() { Finish(); }

void ProgressLine::Update(int percent) {
    if (!enabled_) return;
    percent = std::clamp(percent, 0, 100);
    if (percent == last_percent_) return;
    last_percent_ = percent;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    double done_mb = static_cast<double>(total_bytes_) * percent / 100.0 / 1e6;
    double rate = seconds > 0 ? done_mb / seconds : 0.0;
    std::fprintf(stderr, "\r%s: %3d%%  %.1f MB/s\033[K", label_.c_str(), percent, rate);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Finish() {
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    shown_ = false;
}

void ProgressLine::Callback(int32_t value, void* context) {
    static_cast<ProgressLine*>(context)->Update(value);
}

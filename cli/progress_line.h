#pragma once
// A one-line progress display (percent and MB/s) on standard error, shown only
// when standard error is a terminal.

#include <chrono>
#include <cstdint>
#include <string>

class ProgressLine {
public:
    /// `label` is shown before the figures, usually the file name;
    /// `total_bytes` turns percentages into a throughput figure.
    ProgressLine(std::string label, uint64_t total_bytes);
    ~ProgressLine();

    /// Shows `percent` (clamped to 0..100) with the throughput so far.
    void Update(int percent);
    /// Clears the line; called by the destructor too.
    void Finish();

    /// True when progress lines appear at all (standard error is a terminal).
    static bool Shown();

    /// A ProgressCallback that forwards to Update; the context is the ProgressLine.
    static void Callback(int32_t value, void* context);

private:
    std::string label_;
    uint64_t total_bytes_;
    bool enabled_;
    bool shown_ = false;
    int last_percent_ = -1;
    std::chrono::steady_clock::time_point start_;
};

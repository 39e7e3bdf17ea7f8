#pragma once
// What the suites that run once per code path share. A path this processor
// lacks is skipped, never silently: each skip is named at the end of the run
// ("code paths not run on this processor: aes vaes-avx512, ..."). A path whose
// availability check is true always runs, QUORVANE_CPU=portable or not.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace code_path_testing {

class NotRunReport : public testing::Environment {
  public:
    void Add(const std::string& path) {
        if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    }
    void TearDown() override {
        if (paths_.empty()) return;
        std::string list;
        for (const std::string& path : paths_) list += (list.empty() ? "" : ", ") + path;
        std::printf("code paths not run on this processor: %s\n", list.c_str());
    }

  private:
    std::vector<std::string> paths_;
};

inline NotRunReport* const kNotRun =
    static_cast<NotRunReport*>(testing::AddGlobalTestEnvironment(new NotRunReport));

/// True, with "family path" noted for the report, when the path is not
/// available on this processor; the caller then skips.
inline bool NotRunnable(const std::string& family, const std::string& path, bool available) {
    if (available) return false;
    kNotRun->Add(family + " " + path);
    return true;
}

/// "sha256_sha_ni": a test name part (letters, digits and '_' only).
inline std::string Label(const std::string& family, const std::string& path) {
    std::string label = family + "_" + path;
    std::replace(label.begin(), label.end(), '-', '_');
    return label;
}

}  // namespace code_path_testing

#pragma once
// Every built-in implementation path of every digest engine as a test
// parameter: a suite instantiated over these runs once per path, with the
// engine switched to that path, and skips the paths this processor lacks.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "hash/engines/engine_paths.h"
#include "hash/hash_algorithm.h"

namespace engine_paths_testing {

struct PathCase {
    HashAlgorithm algorithm;
    std::string path;  // the path's own name, "portable", "sha-ni", ...
    bool available;
    std::function<void()> select;
};

/// How gtest shows a case in its messages: "sha256 path sha-ni".
inline void PrintTo(const PathCase& c, std::ostream* out) {
    static const char* const kNames[] = {"md5", "sha1", "sha256", "sha512", "keccak"};
    *out << kNames[int(c.algorithm)] << " path " << c.path;
}

inline void SelectAutomaticPaths() {
    using namespace hash_engines;
    SelectMd5Path(nullptr);
    SelectSha1Path(nullptr);
    SelectSha256Path(nullptr);
    SelectSha512Path(nullptr);
    SelectKeccakPath(nullptr);
}

template <typename Path>
void AddCases(std::vector<PathCase>& cases, HashAlgorithm algorithm, std::span<const Path> paths,
              void (*select)(const Path*)) {
    for (const Path& path : paths) {
        cases.push_back(
            {algorithm, path.name, path.available(), [&path, select] { select(&path); }});
    }
}

/// The paths of the given engines (all five when empty), in table order.
inline std::vector<PathCase> PathCases(std::vector<HashAlgorithm> algorithms = {}) {
    using namespace hash_engines;
    if (algorithms.empty())
        algorithms.assign(std::begin(kAllHashAlgorithms), std::end(kAllHashAlgorithms));
    std::vector<PathCase> cases;
    for (HashAlgorithm algorithm : algorithms) {
        switch (algorithm) {
            case HashAlgorithm::kMd5:
                AddCases(cases, algorithm, Md5Paths(), SelectMd5Path);
                break;
            case HashAlgorithm::kSha1:
                AddCases(cases, algorithm, Sha1Paths(), SelectSha1Path);
                break;
            case HashAlgorithm::kSha256:
                AddCases(cases, algorithm, Sha256Paths(), SelectSha256Path);
                break;
            case HashAlgorithm::kSha512:
                AddCases(cases, algorithm, Sha512Paths(), SelectSha512Path);
                break;
            case HashAlgorithm::kKeccak:
                AddCases(cases, algorithm, KeccakPaths(), SelectKeccakPath);
                break;
        }
    }
    return cases;
}

/// "Sha256_sha_ni": a test name part.
inline std::string CaseName(const testing::TestParamInfo<PathCase>& info) {
    static const char* const kNames[] = {"Md5", "Sha1", "Sha256", "Sha512", "Keccak"};
    std::string name = std::string(kNames[int(info.param.algorithm)]) + "_" + info.param.path;
    for (char& c : name) {
        if (c == '-') c = '_';
    }
    return name;
}

/// A suite whose tests run with the engine switched to the parameter's path.
class OnEachPath : public testing::TestWithParam<PathCase> {
  protected:
    void SetUp() override {
        if (!GetParam().available) {
            GTEST_SKIP() << "this processor lacks the instructions of the " << GetParam().path
                         << " path";
        }
        GetParam().select();
    }
    void TearDown() override { SelectAutomaticPaths(); }
    HashAlgorithm Algorithm() const { return GetParam().algorithm; }
};

}  // namespace engine_paths_testing

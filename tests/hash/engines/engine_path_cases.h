#pragma once
// Every built-in code path of every digest engine as a test parameter: a
// suite instantiated over these runs once per path, with the engine switched
// to that path, and skips (and names) the paths this processor lacks.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "hash/engines/engine_paths.h"
#include "hash/hash_algorithm.h"
#include "support/code_path_cases.h"

namespace engine_paths_testing {

inline const char* EngineName(HashAlgorithm algorithm) {
    static const char* const kNames[] = {"md5", "sha1", "sha256", "sha512", "keccak"};
    return kNames[int(algorithm)];
}

struct PathCase {
    HashAlgorithm algorithm;
    std::string path;  // the path's own name, "portable", "sha-ni", ...
    bool available;
    std::function<void()> select;
};

/// How gtest shows a case in its messages: "sha256 path sha-ni".
inline void PrintTo(const PathCase& c, std::ostream* out) {
    *out << EngineName(c.algorithm) << " path " << c.path;
}

inline void SelectAutomaticPaths() {
    using namespace hash_engines;
    Md5Paths().Select(nullptr);
    Sha1Paths().Select(nullptr);
    Sha256Paths().Select(nullptr);
    Sha512Paths().Select(nullptr);
    KeccakPaths().Select(nullptr);
}

template <typename Function>
void AddCases(std::vector<PathCase>& cases, HashAlgorithm algorithm,
              cpu::CodePaths<Function>& paths) {
    for (const auto& path : paths.All()) {
        cases.push_back(
            {algorithm, path.name, path.available(), [&paths, &path] { paths.Select(&path); }});
    }
}

/// The paths of the given engines (all five when empty), portable first.
inline std::vector<PathCase> PathCases(std::vector<HashAlgorithm> algorithms = {}) {
    using namespace hash_engines;
    if (algorithms.empty())
        algorithms.assign(std::begin(kAllHashAlgorithms), std::end(kAllHashAlgorithms));
    std::vector<PathCase> cases;
    for (HashAlgorithm algorithm : algorithms) {
        switch (algorithm) {
            case HashAlgorithm::kMd5:
                AddCases(cases, algorithm, Md5Paths());
                break;
            case HashAlgorithm::kSha1:
                AddCases(cases, algorithm, Sha1Paths());
                break;
            case HashAlgorithm::kSha256:
                AddCases(cases, algorithm, Sha256Paths());
                break;
            case HashAlgorithm::kSha512:
                AddCases(cases, algorithm, Sha512Paths());
                break;
            case HashAlgorithm::kKeccak:
                AddCases(cases, algorithm, KeccakPaths());
                break;
        }
    }
    return cases;
}

/// "sha256_sha_ni": a test name part.
inline std::string CaseName(const testing::TestParamInfo<PathCase>& info) {
    return code_path_testing::Label(EngineName(info.param.algorithm), info.param.path);
}

/// A suite whose tests run with the engine switched to the parameter's path.
class OnEachPath : public testing::TestWithParam<PathCase> {
  protected:
    void SetUp() override {
        const PathCase& c = GetParam();
        if (code_path_testing::NotRunnable(EngineName(c.algorithm), c.path, c.available))
            GTEST_SKIP() << "this processor lacks the instructions of the " << c.path << " path";
        c.select();
    }
    void TearDown() override { SelectAutomaticPaths(); }
    HashAlgorithm Algorithm() const { return GetParam().algorithm; }
};

}  // namespace engine_paths_testing

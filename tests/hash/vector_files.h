#pragma once
// Readers for the published digest vector files in tests/hash/data/.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace hash_vectors {

struct MessageVector {
    std::vector<uint8_t> message;
    std::vector<uint8_t> digest;
};

inline std::string ValueAfter(const std::string& line, const std::string& key) {
    if (line.rfind(key + " = ", 0) != 0) return {};
    std::string value = line.substr(key.size() + 3);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    return value;
}

/// `Len`/`Msg`/`MD` records of a SHAVS-style file; Msg is cut to Len / 8 bytes.
inline std::vector<MessageVector> ReadMessageVectors(const std::string& relative) {
    std::ifstream in(testing_support::DataPath(relative));
    std::vector<MessageVector> vectors;
    std::string line, value;
    long bits = -1;
    MessageVector current;
    while (std::getline(in, line)) {
        if (!(value = ValueAfter(line, "Len")).empty()) bits = std::stol(value);
        if (!(value = ValueAfter(line, "Msg")).empty()) {
            current.message = testing_support::FromHex(value);
            current.message.resize(std::size_t(bits / 8));
        }
        if (!(value = ValueAfter(line, "MD")).empty()) {
            current.digest = testing_support::FromHex(value);
            vectors.push_back(current);
        }
    }
    return vectors;
}

struct MonteVectors {
    std::vector<uint8_t> seed;
    std::vector<std::vector<uint8_t>> checkpoints;
};

inline MonteVectors ReadMonteVectors(const std::string& relative) {
    std::ifstream in(testing_support::DataPath(relative));
    MonteVectors monte;
    std::string line, value;
    while (std::getline(in, line)) {
        if (!(value = ValueAfter(line, "Seed")).empty())
            monte.seed = testing_support::FromHex(value);
        if (!(value = ValueAfter(line, "MD")).empty()) {
            monte.checkpoints.push_back(testing_support::FromHex(value));
        }
    }
    return monte;
}

/// Runs the SHAVS Monte Carlo test with `hash` (bytes -> digest) and returns
/// the 100 checkpoints.
template <typename Hash>
std::vector<std::vector<uint8_t>> RunMonte(std::vector<uint8_t> seed, Hash hash) {
    std::vector<std::vector<uint8_t>> checkpoints;
    for (int j = 0; j < 100; ++j) {
        std::vector<uint8_t> md0 = seed, md1 = seed, md2 = seed;
        for (int i = 3; i < 1003; ++i) {
            std::vector<uint8_t> input = md0;
            input.insert(input.end(), md1.begin(), md1.end());
            input.insert(input.end(), md2.begin(), md2.end());
            md0 = std::move(md1);
            md1 = std::move(md2);
            md2 = hash(input);
        }
        seed = md2;
        checkpoints.push_back(md2);
    }
    return checkpoints;
}

}  // namespace hash_vectors

// The system part of the platform layer: random source and secret wiping.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <vector>

#include "platform/system/random.h"
#include "platform/system/secure_wipe.h"

TEST(SystemRandomBytes, FillsLargeBuffersAndNeverRepeats) {
    std::set<std::array<uint8_t, 16>> seen;
    for (int i = 0; i < 64; ++i) {
        std::array<uint8_t, 16> block{};
        ASSERT_TRUE(SystemRandomBytes(block.data(), block.size()));
        EXPECT_TRUE(seen.insert(block).second) << "two 16-byte draws were equal";
    }
    // A request larger than getrandom's single-call limit is still filled.
    std::vector<uint8_t> big(40 * 1024 * 1024, 0);
    ASSERT_TRUE(SystemRandomBytes(big.data(), big.size()));
    std::size_t zeros = 0;
    for (std::size_t i = big.size() - 4096; i < big.size(); ++i) zeros += big[i] == 0;
    EXPECT_LT(zeros, 64u) << "the tail of the buffer was not filled";
}

TEST(SecureWipe, ZeroesObjectsAndToleratesEmptyInput) {
    struct Secret {
        uint32_t words[8];
        uint8_t tail[3];
    } secret;
    std::memset(&secret, 0xAB, sizeof secret);
    SecureWipeObject(secret);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&secret);
    for (std::size_t i = 0; i < sizeof secret; ++i) ASSERT_EQ(bytes[i], 0) << i;
    SecureWipe(nullptr, 0);
    SecureWipe(&secret, 0);
}

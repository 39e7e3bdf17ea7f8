// The padding rule: lengths, the bytes written, and which tails are accepted
// when reading a container back.
#include <gtest/gtest.h>

#include <vector>

#include "encrypt/container_padding.h"

TEST(ContainerPadding, LengthsFollowTheMarkerRule) {
    struct Case {
        uint64_t plain, padded;
    } cases[] = {{0, 16},  {1, 16},  {14, 16}, {15, 32},           {16, 32},
                 {30, 32}, {31, 48}, {32, 48}, {1048575, 1048592}, {1048576, 1048592}};
    for (const auto& c : cases) EXPECT_EQ(PaddedLength(c.plain), c.padded) << c.plain;
}

TEST(ContainerPadding, PadWritesMarkerThenZeros) {
    for (std::size_t length : {0u, 14u, 15u, 16u, 31u}) {
        std::vector<uint8_t> buffer(length + 17, 0xEE);
        const std::size_t padded = PadFinalChunk(buffer.data(), length);
        ASSERT_EQ(padded, PaddedLength(length));
        EXPECT_EQ(buffer[length], 0x01);
        for (std::size_t i = length + 1; i < padded; ++i) EXPECT_EQ(buffer[i], 0) << i;
        for (std::size_t i = 0; i < length; ++i) EXPECT_EQ(buffer[i], 0xEE);
    }
}

TEST(ContainerPadding, TailOfEveryPaddedLengthGivesThePlaintextBack) {
    for (std::size_t length = 0; length < 40; ++length) {
        std::vector<uint8_t> buffer(length + 17, 0x5A);
        const std::size_t padded = PadFinalChunk(buffer.data(), length);
        const std::size_t tail_length = padded < 32 ? 16 : 32;
        const auto plain = PlaintextInTail(buffer.data() + padded - tail_length, tail_length);
        ASSERT_TRUE(plain.has_value()) << length;
        EXPECT_EQ(padded - tail_length + *plain, length);
    }
}

TEST(ContainerPadding, RefusesAnythingButMarkerAndZeros) {
    std::vector<uint8_t> tail(32, 0x41);
    // No marker at all: last byte neither zero nor 0x01.
    EXPECT_FALSE(PlaintextInTail(tail.data(), 32));
    // The marker must be the last non-zero byte.
    tail[20] = 0x01;
    tail[31] = 0x02;
    EXPECT_FALSE(PlaintextInTail(tail.data(), 32));
    for (int i = 21; i < 32; ++i) tail[i] = 0;
    EXPECT_EQ(PlaintextInTail(tail.data(), 32), 20u);
    // An all-zero last block needs the marker right before it...
    std::vector<uint8_t> zero_block(32, 0);
    EXPECT_FALSE(PlaintextInTail(zero_block.data(), 32));
    zero_block[14] = 0x01;
    EXPECT_FALSE(PlaintextInTail(zero_block.data(), 32));
    zero_block[15] = 0x02;  // another byte where the marker belongs
    EXPECT_FALSE(PlaintextInTail(zero_block.data(), 32));
    zero_block[15] = 0x01;
    EXPECT_EQ(PlaintextInTail(zero_block.data(), 32), 15u);
    // ...so a single all-zero block can never be valid.
    std::vector<uint8_t> single(16, 0);
    EXPECT_FALSE(PlaintextInTail(single.data(), 16));
    EXPECT_FALSE(PlaintextInTail(single.data(), 20));
}

// Lists worked through on several threads come out in list order, hold few
// results at once, and stop starting items once asked to stop.
#include "platform/system/ordered_list_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class OrderedListRun : public testing::TestWithParam<unsigned> {};

// Items take uneven times, so later ones often finish first.
void UnevenWork(std::size_t i) {
    std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 300));
}

}  // namespace

TEST_P(OrderedListRun, DeliversEveryItemInOrderHoldingAFewAtOnce) {
    const unsigned jobs = GetParam();
    std::atomic<std::size_t> delivered{0};
    std::atomic<std::size_t> most_ahead{0};
    std::vector<std::size_t> order;
    const std::function<std::size_t(std::size_t)> work = [&](std::size_t i) {
        const std::size_t ahead = i - delivered.load();
        if (ahead > most_ahead) most_ahead = ahead;
        UnevenWork(i);
        return i * 3;
    };
    const std::function<void(std::size_t, std::size_t&)> deliver = [&](std::size_t i,
                                                                       std::size_t& result) {
        EXPECT_EQ(result, i * 3);
        order.push_back(i);
        delivered = i + 1;
    };
    RunListInOrder<std::size_t>(500, jobs, work, deliver, {});
    ASSERT_EQ(order.size(), 500u);
    for (std::size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], i);
    EXPECT_LE(most_ahead.load(), 4u * jobs);
}

TEST_P(OrderedListRun, StopDeliversAnUnbrokenBeginningAndStartsNothingMore) {
    std::stop_source stop;
    std::atomic<std::size_t> started{0};
    std::vector<std::size_t> order;
    const std::function<int(std::size_t)> work = [&](std::size_t i) {
        ++started;
        UnevenWork(i);
        return 0;
    };
    const std::function<void(std::size_t, int&)> deliver = [&](std::size_t i, int&) {
        order.push_back(i);
        if (i == 40) stop.request_stop();
    };
    RunListInOrder<int>(1000, GetParam(), work, deliver, stop.get_token());
    ASSERT_GE(order.size(), 41u);
    for (std::size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], i);
    EXPECT_EQ(order.size(), started.load());
    EXPECT_LE(started.load(), 41u + 4u * GetParam());
}

INSTANTIATE_TEST_SUITE_P(Jobs, OrderedListRun, testing::Values(1u, 2u, 3u, 8u));

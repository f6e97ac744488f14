#include "platform/triple_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
struct record {
    int serial;
    int data[512];
};
}  // namespace

TEST(TripleBuffer, TakeSeesOnlyPublishedValues) {
    triple_buffer<record> b;
    EXPECT_FALSE(tb_take(b));
    tb_back(b).serial = 1;
    tb_publish(b);
    tb_back(b).serial = 2;
    tb_publish(b);
    ASSERT_TRUE(tb_take(b));
    EXPECT_EQ(tb_front(b).serial, 2);  // the newest value wins
    EXPECT_FALSE(tb_take(b));
    EXPECT_EQ(tb_front(b).serial, 2);
}

TEST(TripleBuffer, ConcurrentReaderNeverSeesATornRecord) {
    triple_buffer<record> b;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int n = 1; n <= 20000; ++n) {
            record& r = tb_back(b);
            r.serial = n;
            for (int& d : r.data) d = n;
            tb_publish(b);
        }
        done = true;
    });
    int torn = 0, last = 0, backwards = 0;
    while (!done || tb_take(b)) {
        if (!tb_take(b)) continue;
        const record& r = tb_front(b);
        for (int d : r.data) torn += d != r.serial;
        backwards += r.serial < last;
        last = r.serial;
    }
    producer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
}

#include "platform/block_queue.h"

TEST(BlockQueue, DeliversBackToBackBlocksInOrderAndDropsOnlyWhenFull) {
    block_queue<record, 4> q;
    EXPECT_FALSE(tb_take(q));
    EXPECT_EQ(tb_front(q).serial, 0);  // nothing taken yet: the empty block
    for (int n = 1; n <= 3; ++n) {
        tb_back(q).serial = n;
        tb_publish(q);
    }
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(tb_take(q));
        EXPECT_EQ(tb_front(q).serial, n);
    }
    EXPECT_FALSE(tb_take(q));
    EXPECT_EQ(tb_front(q).serial, 3);  // still shown
    // One slot is held by the consumer: three more fit, the fourth is dropped.
    for (int n = 4; n <= 7; ++n) {
        tb_back(q).serial = n;
        tb_publish(q);
    }
    EXPECT_EQ(q.dropped, 1u);
    EXPECT_EQ(tb_waiting(q), 3u);
    tb_skip_waiting(q);
    EXPECT_EQ(tb_front(q).serial, 6);
}

TEST(BlockQueue, ConcurrentConsumerGetsEveryBlockOnceAndWhole) {
    block_queue<record, 4> q;
    constexpr int blocks = 20000;
    std::thread producer([&] {
        for (int n = 1; n <= blocks; ++n) {
            while (q.head.load() - q.tail.load() >= 4) std::this_thread::yield();
            record& r = tb_back(q);
            r.serial = n;
            for (int& d : r.data) d = n;
            tb_publish(q);
        }
    });
    int expected = 1, torn = 0;
    while (expected <= blocks) {
        if (!tb_take(q)) continue;
        const record& r = tb_front(q);
        EXPECT_EQ(r.serial, expected);
        for (int d : r.data) torn += d != r.serial;
        expected = r.serial + 1;
    }
    producer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(q.dropped, 0u);
}

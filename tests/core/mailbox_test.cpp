#include "core/mailbox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>
#include <utility>
#include <vector>

namespace kvel {
namespace {

// Items pushed from several threads at once reach the taking thread complete, each thread's in
// the order it pushed them, whether taken all at once or one per call; a closed box takes
// nothing in and what waited in it is not taken any more.
TEST(MailboxTest, ItemsFromManyThreadsArriveInOrderOnTheTakingThread) {
    constexpr int kThreads = 3;
    constexpr int kItems = 2000;
    for (const bool oneByOne : {false, true}) {
        SCOPED_TRACE(oneByOne ? "one per call" : "all at once");
        std::vector<std::pair<int, int>> taken;
        bool offThread = false;
        const std::thread::id gui = std::this_thread::get_id();
        Mailbox<std::pair<int, int>>* box = nullptr;
        Mailbox<std::pair<int, int>> mailbox([&] {
            offThread = offThread || std::this_thread::get_id() != gui;
            if (oneByOne) {
                if (auto item = box->takeOne()) taken.push_back(*item);
            } else {
                for (auto& item : box->takeAll()) taken.push_back(item);
            }
        });
        box = &mailbox;
        std::vector<std::thread> pushers;
        for (int t = 0; t < kThreads; ++t) {
            pushers.emplace_back([&mailbox, t] {
                for (int k = 0; k < kItems; ++k) mailbox.push({t, k});
            });
        }
        QElapsedTimer clock;
        clock.start();
        while (taken.size() < kThreads * kItems && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        for (std::thread& pusher : pushers) pusher.join();
        QCoreApplication::processEvents();
        ASSERT_EQ(taken.size(), static_cast<size_t>(kThreads * kItems));
        EXPECT_FALSE(offThread);
        std::vector<int> next(kThreads, 0);
        for (const auto& [t, k] : taken) {
            ASSERT_EQ(k, next[t]) << "thread " << t;
            ++next[t];
        }

        mailbox.push({0, -1});
        mailbox.close();
        EXPECT_FALSE(mailbox.push({0, -2}));
        QCoreApplication::processEvents();
        EXPECT_EQ(taken.size(), static_cast<size_t>(kThreads * kItems));
    }
}

}  // namespace
}  // namespace kvel

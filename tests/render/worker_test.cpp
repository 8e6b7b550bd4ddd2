// The second drawing thread: a job's error reaches the caller's Wait and the
// thread goes on with the next job; a caller whose own share throws still
// waits for the job before what the job uses goes away.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "render/Clsworker.h"

TEST(Worker, ErrorsReachTheCallerAndTheThreadGoesOn) {
    TWorker w;
    w.Start([] { throw std::runtime_error("no memory for the places"); });
    EXPECT_THROW(w.Wait(), std::runtime_error);
    int done = 0;
    for (int k = 1; k <= 3; ++k) {
        w.Start([&done, k] { done += k; });
        w.Wait();
    }
    EXPECT_EQ(done, 6);

    // The caller fails while the job still runs: the join waits for it.
    std::atomic<bool> finished{false};
    try {
        TWorker::TJoin join(&w);
        w.Start([&finished] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        });
        throw std::logic_error("the caller's own share failed");
    } catch (const std::logic_error&) {
        EXPECT_TRUE(finished);
    }
    w.Start([] {});
    w.Wait();
}

// Runs a call that must not hang on a FIFO. When it has not returned within
// the time given, the FIFO gets a writer and a reader that leave at once (so a
// call blocked in open or read ends), and the test fails instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <unistd.h>

template <class F>
auto ReturnsWithin(std::chrono::seconds limit, const std::string& fifo, F call) {
    auto job = std::async(std::launch::async, call);
    if (job.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "a call on the FIFO " << fifo << " did not return within "
                      << limit.count() << " s";
        while (job.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
            for (int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
                const int fd = ::open(fifo.c_str(), flags);
                if (fd >= 0) ::close(fd);
            }
        }
    }
    return job.get();
}

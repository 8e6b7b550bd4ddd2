// TWorker: a second drawing thread. A job handed to it runs on its thread
// while the caller goes on with its own share; Wait returns once the job
// has finished, and passes on what it threw.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class TWorker {
public:
    TWorker();
    ~TWorker();
    TWorker(const TWorker&) = delete;
    TWorker& operator=(const TWorker&) = delete;

    // Starts a job; the one before must have been waited for.
    void Start(std::function<void()> job);
    void Wait();

    // Waits for the started job when it goes out of scope, so that the job
    // never outlives what it uses, also when the caller's own share throws
    // (what the job threw is then dropped; the caller's error goes on).
    class TJoin {
    public:
        explicit TJoin(TWorker* w) : W(w) {}
        ~TJoin() {
            if (W) W->WaitQuietly();
        }
        TJoin(const TJoin&) = delete;
        TJoin& operator=(const TJoin&) = delete;

    private:
        TWorker* W; // none: nothing was started
    };

private:
    void WaitQuietly();
    void Loop();

    std::mutex M;
    std::condition_variable Wake, Done;
    std::function<void()> Job;
    bool Running = false, Quit = false;
    std::exception_ptr Error;
    std::thread Thread;
};

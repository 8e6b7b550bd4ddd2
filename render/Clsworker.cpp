#include "render/Clsworker.h"

#include <utility>

TWorker::TWorker() : Thread([this] { Loop(); }) {}

TWorker::~TWorker() {
    {
        std::lock_guard<std::mutex> lock(M);
        Quit = true;
    }
    Wake.notify_one();
    Thread.join();
}

void TWorker::Start(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(M);
        Job = std::move(job);
        Running = true;
        Error = nullptr;
    }
    Wake.notify_one();
}

void TWorker::WaitQuietly() {
    std::unique_lock<std::mutex> lock(M);
    Done.wait(lock, [this] { return !Running; });
    Error = nullptr;
}

void TWorker::Wait() {
    std::exception_ptr error;
    {
        std::unique_lock<std::mutex> lock(M);
        Done.wait(lock, [this] { return !Running; });
        std::swap(error, Error);
    }
    if (error) std::rethrow_exception(error);
}

void TWorker::Loop() {
    std::unique_lock<std::mutex> lock(M);
    for (;;) {
        Wake.wait(lock, [this] { return Quit || Job; });
        if (Quit) return;
        std::function<void()> job = std::move(Job);
        Job = nullptr;
        lock.unlock();
        std::exception_ptr error;
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        Error = error;
        Running = false;
        Done.notify_all();
    }
}

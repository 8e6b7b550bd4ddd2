#include "plan/Clsplanworker.h"

#include <ctime>

#include "minor/Minorlist.h"

namespace {
// The thread's own CPU time in ms: what the work costs, whatever else runs.
double ThreadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
} // namespace

TPlanWorker::TPlanWorker(TDone done) : done_(std::move(done)), thread_([this] { Run(); }) {}

TPlanWorker::~TPlanWorker() {
    {
        std::lock_guard<std::mutex> g(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void TPlanWorker::Submit(TRequest request) {
    {
        std::lock_guard<std::mutex> g(lock_);
        if (waiting_) ++dropped_;
        waiting_ = std::move(request);
    }
    wake_.notify_all();
}

int TPlanWorker::Dropped() const {
    std::lock_guard<std::mutex> g(lock_);
    return dropped_;
}

void TPlanWorker::Run() {
    for (;;) {
        TRequest r;
        {
            std::unique_lock<std::mutex> g(lock_);
            wake_.wait(g, [this] { return stop_ || waiting_; });
            if (stop_) return;
            r = std::move(*waiting_);
            waiting_.reset();
        }
        const double start = ThreadMs();
        auto result = std::make_shared<TResult>();
        result->Id = r.Id;
        result->Night.Compute(r.Site, r.Horizon, r.Year, r.Month, r.Day, r.Zone);
        result->Planner.Build(result->Night, std::move(r.Candidates), r.Minor.get());
        result->Ms = ThreadMs() - start;
        if (done_) done_(std::move(result));
    }
}

#pragma once
// TPlanWorker: works out nights and their lists on a thread of its own, so
// that the window asking never waits. Only the latest request counts: one
// still waiting when a newer one comes is dropped unworked, and each result
// carries its request's number, so the asker can drop a result that is stale.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "plan/Clsplanner.h"

class TMinorList;

class TPlanWorker {
public:
    struct TRequest {
        int Id = 0;
        TLocation Site;
        THorizon Horizon;
        int Year = 2000, Month = 1, Day = 1; // the local date of the evening
        double Zone = 0.0;                   // hours
        std::vector<TPlanEntry> Candidates;  // TPlanner::Candidates
        std::shared_ptr<const TMinorList> Minor; // kept alive while in use; may be null
    };
    struct TResult {
        int Id = 0;
        TNight Night;
        TPlanner Planner;
        double Ms = 0.0; // thread time, the night and the list
    };
    // Called on the worker's thread with each finished request.
    using TDone = std::function<void(std::shared_ptr<TResult>)>;

    explicit TPlanWorker(TDone done);
    // Waits for the request being worked; a waiting one is dropped.
    ~TPlanWorker();
    TPlanWorker(const TPlanWorker&) = delete;
    TPlanWorker& operator=(const TPlanWorker&) = delete;

    // Replaces the request still waiting, if any.
    void Submit(TRequest request);
    // Requests dropped unworked because a newer one came (for tests).
    int Dropped() const;

private:
    void Run();
    TDone done_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::optional<TRequest> waiting_;
    bool stop_ = false;
    int dropped_ = 0;
    std::thread thread_;
};

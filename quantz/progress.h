// Turns the work done so far into whole percentages for the registered progress function.
#pragma once

#include <atomic>
#include <cstdint>

#include "quantz/quantz.h"

// Thrown out of the work when the progress function of a request asks to stop.
struct ReductionCancelled {};

class Progress {
public:
    // Reports 0 at once when a function is given; with none every call does nothing.
    explicit Progress(ProgressFunction function);
    // The same for a request's function, which may ask to stop: the next Stage or Advance then
    // throws ReductionCancelled.
    Progress(QuantzProgressFunction function, void* context);

    // Starts the next stage of the work: `units` steps that lead from the current percentage to
    // `end` (which must not lie below it).
    void Stage(int end, int64_t units);

    // Marks `units` more steps of the current stage as done.
    void Advance(int64_t units = 1) {
        m_done += units;
        if (m_done >= m_nextReport) Update();
    }

    // Reports 100 once; later calls do nothing.
    void Finish();

    // For a helper thread, which reports nothing: throws ReductionCancelled once the calling
    // thread's function has asked to stop.
    void CheckStopped() const {
        if (m_stopped.load(std::memory_order_relaxed)) throw ReductionCancelled{};
    }

private:
    void Update();
    void Report(int percent);

    ProgressFunction m_function = nullptr;
    QuantzProgressFunction m_requestFunction = nullptr;
    void* m_context = nullptr;
    std::atomic<bool> m_stopped{false};
    int m_reported = -1;  // last percentage handed out
    int m_begin = 0;      // percentage at the start of the stage
    int m_end = 0;        // percentage at its end
    int64_t m_units = 1;
    int64_t m_done = 0;
    int64_t m_nextReport = INT64_MAX;  // steps after which the percentage next rises
};

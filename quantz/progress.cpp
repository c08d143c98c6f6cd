#include "quantz/progress.h"

#include <algorithm>

Progress::Progress(ProgressFunction function) : m_function(function) {
    Report(0);
}

Progress::Progress(QuantzProgressFunction function, void* context)
    : m_requestFunction(function), m_context(context) {
    Report(0);
}

void Progress::Stage(int end, int64_t units) {
    CheckStopped();
    m_begin = std::max(m_reported, 0);
    m_end = std::max(std::min(end, 100), m_begin);
    m_units = std::max<int64_t>(units, 1);
    m_done = 0;
    Update();
}

void Progress::Finish() {
    if (m_reported < 100) Report(100);
    m_nextReport = INT64_MAX;
}

// The percentage after `done` steps is begin + span * done / units; the next rise comes after the
// smallest step count that reaches one percent more.
void Progress::Update() {
    if (!m_function && !m_requestFunction) {
        m_nextReport = INT64_MAX;
        return;
    }
    const int64_t span = m_end - m_begin;
    const int64_t done = std::min(m_done, m_units);
    const int percent = static_cast<int>(m_begin + span * done / m_units);
    if (percent > m_reported && percent < 100) Report(percent);
    CheckStopped();
    if (percent >= m_end) {
        m_nextReport = INT64_MAX;
        return;
    }
    const int64_t next = percent + 1 - m_begin;  // steps s with span * s >= next * units
    m_nextReport = (next * m_units + span - 1) / span;
}

void Progress::Report(int percent) {
    m_reported = percent;
    if (m_function) m_function(percent);
    if (m_requestFunction && m_requestFunction(m_context, percent) != 0)
        m_stopped.store(true, std::memory_order_relaxed);
}

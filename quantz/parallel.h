// Splitting the rows of a large image into two bands, worked on by the calling thread and, where
// one is to be had, a helper thread.
#pragma once

#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>

#include "quantz/progress.h"

// Images of at least this many pixels are done as two bands; smaller ones as one, on the calling
// thread alone: a helper would save little. Error diffusion and the colour summary depend on the
// bands, so the split depends on the size alone, never on the machine, and a file reduces to the
// same bytes everywhere.
constexpr int64_t kSplitPixels = int64_t{1} << 20;

inline bool SplitRows(int64_t pixels) {
    return pixels >= kSplitPixels;
}

// True when the second band may go to a helper thread: the machine reports two or more processors
// and the environment variable ORVIK_QUANTZ_THREADS does not hold the library to one thread.
bool HelperThreadAllowed();

// Calls work(part, firstRow, endRow, tick) for rows [0, rows): as one part 0, or, when `split`, as
// part 0 = [0, rows / 2) and part 1 = [rows / 2, rows). The two parts run at the same time, part 1
// on a helper thread, where HelperThreadAllowed() and a thread can be started; otherwise one after
// the other on the calling thread, with the same result. `work` calls tick() after each row; only
// the calling thread's ticks reach `progress` (counting double while the helper works alongside),
// so the progress function is never called from the helper, which only stops (throws) after a row
// once the calling thread has been asked to stop. An exception from either part is rethrown once
// both have ended.
template <typename Work>
void ForRowParts(int rows, bool split, Progress& progress, Work work) {
    const auto tick = [&] { progress.Advance(); };
    if (!split || rows < 2) {
        work(0, 0, rows, tick);
        return;
    }
    const int middle = rows / 2;
    std::exception_ptr failure;
    std::thread helper;
    if (HelperThreadAllowed()) {
        try {
            helper = std::thread([&] {
                try {
                    work(1, middle, rows, [&] { progress.CheckStopped(); });
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // no thread to be had: both parts on this one
        }
    }
    if (!helper.joinable()) {
        work(0, 0, middle, tick);
        work(1, middle, rows, tick);
        return;
    }
    try {
        work(0, 0, middle, [&] { progress.Advance(2); });
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) std::rethrow_exception(failure);
}

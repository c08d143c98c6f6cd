// Splitting the rows of a large image between the calling thread and one helper thread.
#pragma once

#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>

#include "quantz/progress.h"

// Images below this many pixels are done on the calling thread alone: a helper would save little.
constexpr int64_t kParallelPixels = int64_t{1} << 20;

// True when a helper thread is worth starting for an image of `pixels` pixels.
inline bool UseHelper(int64_t pixels) {
    return pixels >= kParallelPixels && std::thread::hardware_concurrency() >= 2;
}

// Calls work(part, firstRow, endRow, tick) for rows [0, rows): as one part 0 on the calling thread,
// or, when `split`, as part 0 = [0, rows / 2) on the calling thread and part 1 = [rows / 2, rows)
// on a helper thread at the same time. `work` calls tick() after each row; only the calling
// thread's ticks reach `progress` (counting double while the helper works alongside), so the
// progress function is never called from the helper. An exception from either part is rethrown
// once both have ended.
template <typename Work>
void ForRowParts(int rows, bool split, Progress& progress, Work work) {
    if (split && rows >= 2) {
        const int middle = rows / 2;
        std::exception_ptr failure;
        std::thread helper;
        try {
            helper = std::thread([&] {
                try {
                    work(1, middle, rows, [] {});
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            split = false;  // no thread to be had: all on this one
        }
        if (split) {
            try {
                work(0, 0, middle, [&] { progress.Advance(2); });
            } catch (...) {
                helper.join();
                throw;
            }
            helper.join();
            if (failure) std::rethrow_exception(failure);
            return;
        }
    }
    work(0, 0, rows, [&] { progress.Advance(); });
}

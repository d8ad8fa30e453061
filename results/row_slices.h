#pragma once

// Work over many rows that a worker hands to the windows' thread: in slices, one call each, so that a
// please-wait box on that thread serves its Cancel between them.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <functional>

#include "latest_window_texts.h"

// Runs `slice(first, count)` on the window's thread over [0, total) in slices of at most `perSlice`,
// until a set `stop` (null: none) ends it between two slices; returns how many were done. A message
// sent to a thread comes before its posted messages and its input, so after each slice the worker lets
// the thread reach them.
inline std::size_t RunInSlices(HWND window, std::size_t total, std::size_t perSlice,
                               const std::atomic<bool>* stop,
                               const std::function<void(std::size_t, std::size_t)>& slice)
{
    const bool worker = window != NULL && ::GetWindowThreadProcessId(window, NULL) != ::GetCurrentThreadId();
    std::size_t done = 0;
    while (done < total && !(stop != nullptr && stop->load())) {
        const std::size_t count = total - done < perSlice ? total - done : perSlice;
        RunOnWindowThread(window, [&] { slice(done, count); });
        done += count;
        if (worker && done < total)
            ::Sleep(2);
    }
    return done;
}

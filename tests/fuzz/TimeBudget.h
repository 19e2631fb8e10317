#pragma once

// The time one input takes, in CPU time of the calling thread: other programs on a busy machine do not
// count, only the work the reader itself does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

inline double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Keeps the slowest input seen so far in the file HUELOOM_FUZZ_SLOWEST names, so that a run can hand
// it to fuzz_replay, which times it again in an uninstrumented build.
inline void noteSlowest(const std::uint8_t* data, std::size_t size, double milliseconds)
{
    static double slowest = 0;
    static const char* const path = std::getenv("HUELOOM_FUZZ_SLOWEST");
    if (!path || milliseconds <= slowest)
        return;
    slowest = milliseconds;
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}

// What the benchmark programs share: reading their inputs, the clock, zlib as the reference.
#ifndef VELTMOOR_BENCH_COMMON_H
#define VELTMOOR_BENCH_COMMON_H

#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <zlib.h>

#include <string>

inline double Now()
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

inline std::string ReadInput(const char *path)
{
    std::string data;
    FILE *file = fopen(path, "rb");
    if (file == nullptr) {
        fprintf(stderr, "cannot read %s\n", path);
        exit(2);
    }
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, got);
    fclose(file);
    return data;
}

// The fastest of several timed rounds: each round repeats `run` until it has taken 0.15 s.
template <typename Run>
double BestSecondsPerRun(Run run, int rounds)
{
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        int runs = 0;
        double start = Now(), elapsed;
        do {
            run();
            ++runs;
            elapsed = Now() - start;
        } while (elapsed < 0.15);
        if (elapsed / runs < best)
            best = elapsed / runs;
    }
    return best;
}

inline const char *BaseName(const char *path)
{
    const char *slash = strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

#endif

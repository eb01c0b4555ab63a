// Throughput and memory of the download facility: downloads one address
// into a local file a number of times, as the download window does (events
// on this thread's message loop), and prints the time of each transfer and
// the process's peak memory. Run by tools/bench_download.sh, which compares
// the numbers with curl on the same file.
//
//   download_bench ADDRESS LOCAL_FILE [RUNS]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/platform/Downloader.h"

namespace {

int lastCode = 0;
int announced = 0;

int OnEvent(int code, int, int a3, int, int) {
    if (code == DownloadStarted) announced = a3;
    if (code == DownloadFinished || code == DownloadFailed) {
        lastCode = code;
        PostQuitMessage(0);
    }
    return 0;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: download_bench ADDRESS LOCAL_FILE [RUNS]\n");
        return 2;
    }
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    DownloadSettings settings;
    settings.flags = 4096;
    settings.sourceAddress = argv[1];
    settings.localFile = argv[2];
    settings.callback = OnEvent;

    PROCESS_MEMORY_COUNTERS before = Memory();
    std::vector<double> times;
    int64_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        lastCode = 0;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        DownloadTask task = AddDownloadTask(settings);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
        QueryPerformanceCounter(&end);
        bytes = DownloadBytesDone(task);
        ReleaseDownloadTask(task);
        if (lastCode != DownloadFinished) {
            std::printf("run %d failed (code %d)\n", run + 1, lastCode);
            return 1;
        }
        times.push_back(Seconds(start, end));
        std::printf("run %d: %lld bytes in %.3f s, %.1f MB/s\n", run + 1, static_cast<long long>(bytes),
                    times.back(), bytes / times.back() / 1e6);
    }
    PROCESS_MEMORY_COUNTERS after = Memory();
    std::sort(times.begin(), times.end());
    std::printf("bytes %lld announced %d\n", static_cast<long long>(bytes), announced);
    std::printf("best_mbps %.1f\n", bytes / times.front() / 1e6);
    std::printf("median_mbps %.1f\n", bytes / times[times.size() / 2] / 1e6);
    std::printf("working_set_before_kib %lu\n", static_cast<unsigned long>(before.WorkingSetSize / 1024));
    std::printf("peak_working_set_kib %lu\n", static_cast<unsigned long>(after.PeakWorkingSetSize / 1024));
    std::printf("pagefile_before_kib %lu\n", static_cast<unsigned long>(before.PagefileUsage / 1024));
    std::printf("peak_pagefile_kib %lu\n", static_cast<unsigned long>(after.PeakPagefileUsage / 1024));
    return 0;
}

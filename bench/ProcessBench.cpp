// Times whole runs of the launcher's maintenance modes, from the creation of the process to its
// end, and reads each one's peak working set:
//   process_bench <runs> <launcher.exe> <minimal.exe>
//   process_bench fill                  (only fills the table, for bench/registry-opens)
// Each run starts "launcher -CAPTURE", then "launcher -RESTORE" (which reads back that capture),
// then the minimal windowed program (bench/DesktopHolder.cpp with "once": it registers a class,
// makes its hidden window and ends), the floor any windowed program pays under Wine.
// Every value of the fixed table that is missing is filled in first, so that each -CAPTURE
// records the whole table: run it only in a throwaway Wine prefix (bench/maintenance-timing).
// One warm-up run is not counted. Lines:
//   "<what>: min <x> <unit>, median <x> <unit>, max <x> <unit>"
#include "BenchSupport.h"
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

namespace {

const DWORD kRunLimitMs = 20000;

struct Outcome {
    double ms = -1;
    double peakMiB = -1;
    DWORD exitCode = 0;
};

// Wine answers the working set only while the process exists, so it is read as the process runs
// and the largest reading kept.
bool runWhole(const std::string& program, const std::string& arguments, Outcome& outcome) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const double start = nowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    const double deadline = start + kRunLimitMs;
    for (;;) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process.get(), &counters, sizeof(counters)))
            outcome.peakMiB =
                std::max(outcome.peakMiB, static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
        if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0)
            break;
        if (nowMs() > deadline) {
            TerminateProcess(process.get(), 1);
            return false;
        }
    }
    outcome.ms = nowMs() - start;
    GetExitCodeProcess(process.get(), &outcome.exitCode);
    return outcome.exitCode == 0;
}

void summary(const std::string& name, std::vector<double> values, const char* unit) {
    if (values.empty())
        return;
    const double median = sortedMedian(values);
    std::printf("%s: min %.1f %s, median %.1f %s, max %.1f %s\n", name.c_str(), values.front(), unit, median, unit,
                values.back(), unit);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "fill") {
        const size_t filled = fillMissingTableValues();
        std::printf("%zu of the %zu values of the fixed table filled in\n", filled, kFixedValueCount);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: process_bench <runs> <launcher.exe> <minimal.exe>\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const struct {
        const char* name;
        std::string program;
        const char* arguments;
    } programs[] = {
        {"Mallowbrook.exe -CAPTURE", argv[2], "-CAPTURE"},
        {"Mallowbrook.exe -RESTORE", argv[2], "-RESTORE"},
        {"minimal windowed program", argv[3], "once"},
    };
    const std::size_t count = sizeof(programs) / sizeof(programs[0]);

    std::printf("%zu missing values of the fixed table filled in\n", fillMissingTableValues());
    std::vector<std::vector<double>> times(count), peaks(count);
    for (int run = 0; run <= runs; ++run) {
        std::printf("run %d:", run);
        for (std::size_t i = 0; i < count; ++i) {
            Outcome outcome;
            if (!runWhole(programs[i].program, programs[i].arguments, outcome)) {
                std::printf(" %s failed (exit code %lu)\n", programs[i].name, outcome.exitCode);
                return 1;
            }
            std::printf(" %s %.1f ms %.1f MiB;", programs[i].name, outcome.ms, outcome.peakMiB);
            // The first run only warms up the prefix and is not counted.
            if (run > 0) {
                times[i].push_back(outcome.ms);
                peaks[i].push_back(outcome.peakMiB);
            }
        }
        std::printf("%s\n", run == 0 ? " (warm-up)" : "");
    }
    for (std::size_t i = 0; i < count; ++i) {
        summary(std::string(programs[i].name) + ", whole process", times[i], "ms");
        summary(std::string(programs[i].name) + ", peak working set", peaks[i], "MiB");
    }
    return 0;
}

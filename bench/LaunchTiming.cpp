// Times launches from outside the launcher:
//   launchtiming <runs> <launcher.exe> [<direct.exe>]
// with the launcher's arguments, exactly as they are to be passed, in LAUNCHTIMING_ARGUMENTS.
// For each run it starts the launcher (which must log, with -LOGGING) twice and reports
//   start:   creation of MSACCESS.EXE minus creation of the launcher, less the launcher's
//            fixed 250 ms start-up timer, from a launch the bench leaves alone until it ends;
//   restore: from the log line that ends the watch for the main window to the launcher's
//            last line, i.e. the object-library step, the restore of the recorded values and
//            the edition's end step, from a launch whose log the bench reads as it grows;
//   peak:    the launcher's peak working set, read while that second launch runs.
// With a direct starter (bench/DirectStart.cpp, which starts DIRECTSTART_COMMAND) each run then
// starts Access through it as well, the baseline: creation of MSACCESS.EXE minus creation of
// the starter. The launcher's time is set against it per run, as a difference and a ratio.
// Lines: "run <n>: start <ms> ms, restore <ms> ms, ...", then minimum, median and maximum.
// Every value of the fixed table that is missing is filled in first, so that each launch records
// and puts back the whole table: run it only in a throwaway Wine prefix (bench/launch-timing).
#include "BenchSupport.h"
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

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

const double kStartupTimerMs = 250.0;
const DWORD kRunLimitMs = 20000;
const char kWatchDone[] = "Done waiting for process launch / main window.";
const char kLastLine[] = "Exiting application";

double creationMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER value;
    value.LowPart = created.dwLowDateTime;
    value.HighPart = created.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

std::string logPath() {
    char folder[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE);
    return std::string(folder) + "\\MallowbrookLog5.txt";
}

std::string readShared(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::string();
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

// A running MSACCESS.EXE created at or after the time given, opened for its times.
UniqueKernelHandle findAccess(double createdAfterMs) {
    DWORD ids[1024];
    DWORD bytes = 0;
    if (!EnumProcesses(ids, sizeof(ids), &bytes))
        return UniqueKernelHandle();
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        UniqueKernelHandle process(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ids[i]));
        if (!process)
            continue;
        char name[MAX_PATH] = {};
        if (GetModuleBaseNameA(process.get(), nullptr, name, MAX_PATH) > 0 && lstrcmpiA(name, "MSACCESS.EXE") == 0 &&
            creationMs(process.get()) >= createdAfterMs)
            return process;
    }
    return UniqueKernelHandle();
}

// The stand-in of an earlier run may still be closing; a run starts only without one.
void waitForNoAccess() {
    for (int i = 0; i < 500; ++i) {
        UniqueKernelHandle access = findAccess(0);
        if (!access)
            return;
        TerminateProcess(access.get(), 0);
        WaitForSingleObject(access.get(), 1000);
    }
}

struct Timing {
    double start = -1;
    double restore = -1;
    double peakMiB = -1;
};

// The peak working set so far. Wine answers only while the process exists, so it is read as
// the process runs and the largest reading kept.
void notePeak(HANDLE process, double& peakMiB) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        peakMiB = std::max(peakMiB, static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
}

// With LAUNCHTIMING_PROFILE set, each log line is printed with the time it was first seen,
// counted from the creation of the launcher process.
bool profiling() {
    char value[8] = {};
    return GetEnvironmentVariableA("LAUNCHTIMING_PROFILE", value, sizeof(value)) > 0;
}

void printNewLines(const std::string& text, size_t& printed, double sinceMs) {
    size_t end;
    while ((end = text.find("\r\n", printed)) != std::string::npos) {
        std::printf("  %8.1f ms  %s\n", sinceMs, text.substr(printed, end - printed).c_str());
        printed = end + 2;
    }
}

UniqueKernelHandle startProgram(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return UniqueKernelHandle();
    UniqueKernelHandle thread(info.hThread);
    return UniqueKernelHandle(info.hProcess);
}

// Starts the program (the launcher or the direct starter) and leaves it alone until it has
// ended, so that nothing of the bench competes with it for the Wine server; then reads when
// the MSACCESS.EXE it started was created. The stand-in outlives both by seconds.
bool timeQuietStart(const std::string& program, const std::string& arguments, double& startMs) {
    waitForNoAccess();
    DeleteFileA(logPath().c_str());
    UniqueKernelHandle process = startProgram(program, arguments);
    if (!process)
        return false;
    const double created = creationMs(process.get());
    if (WaitForSingleObject(process.get(), kRunLimitMs) != WAIT_OBJECT_0) {
        // A launcher that hangs (a box nobody answers) must not hold up the other runs.
        TerminateProcess(process.get(), 1);
        return false;
    }
    // A stand-in that was created a moment ago may not show its module name yet; its creation
    // time is fixed by then, so looking again costs the figure nothing.
    UniqueKernelHandle access;
    for (int look = 0; look < 5000 && !access; ++look) {
        access = findAccess(created);
        if (!access)
            Sleep(1);
    }
    if (!access)
        return false;
    startMs = creationMs(access.get()) - created;
    TerminateProcess(access.get(), 0);
    WaitForSingleObject(access.get(), 5000);
    return true;
}

// A watched launch: the log is read as it grows, for the restore after the window, and the
// launcher's working set is read until it ends.
bool timeWatchedRun(const std::string& launcher, const std::string& arguments, Timing& timing) {
    waitForNoAccess();
    const std::string log = logPath();
    DeleteFileA(log.c_str());
    const double started = nowMs();
    UniqueKernelHandle process = startProgram(launcher, arguments);
    if (!process)
        return false;
    const double launcherCreated = creationMs(process.get());

    double watchDone = -1, lastLine = -1;
    const bool profile = profiling();
    size_t printed = 0;
    const double deadline = nowMs() + kRunLimitMs;
    for (;;) {
        notePeak(process.get(), timing.peakMiB);
        bool ended = WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0;
        if (profile) {
            printNewLines(readShared(log), printed, nowMs() - started);
            if (findAccess(launcherCreated))
                std::printf("  %8.1f ms  (MSACCESS.EXE is running)\n", nowMs() - started);
        }
        if (watchDone < 0 || lastLine < 0) {
            std::string text = readShared(log);
            if (watchDone < 0 && text.find(kWatchDone) != std::string::npos)
                watchDone = nowMs();
            if (lastLine < 0 && text.find(kLastLine) != std::string::npos)
                lastLine = nowMs();
        }
        if (ended)
            break;
        if (nowMs() > deadline) {
            TerminateProcess(process.get(), 1);
            break;
        }
    }
    if (UniqueKernelHandle access = findAccess(launcherCreated)) {
        TerminateProcess(access.get(), 0);
        WaitForSingleObject(access.get(), 5000);
    }
    if (watchDone >= 0 && lastLine >= 0)
        timing.restore = lastLine - watchDone;
    return timing.restore >= 0;
}

// The baseline: Access started by the direct starter, from its creation to that of Access;
// and, in a run of its own, the starter's peak working set.
bool timeDirectStart(const std::string& starter, Timing& timing) {
    if (!timeQuietStart(starter, "", timing.start))
        return false;
    UniqueKernelHandle process = startProgram(starter, "");
    if (!process)
        return false;
    while (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        notePeak(process.get(), timing.peakMiB);
        Sleep(0);
    }
    return true;
}

void summary(const char* name, std::vector<double> values, const char* unit = "ms") {
    if (values.empty())
        return;
    const double median = sortedMedian(values);
    std::printf("%s: min %.1f %s, median %.1f %s, max %.1f %s\n", name, values.front(), unit, median, unit,
                values.back(), unit);
}

void summaryRatio(const char* name, std::vector<double> values) {
    if (values.empty())
        return;
    const double median = sortedMedian(values);
    std::printf("%s: min %.2f, median %.2f, max %.2f\n", name, values.front(), median, values.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: LAUNCHTIMING_ARGUMENTS=... launchtiming <runs> <launcher.exe> [<direct.exe>]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::string launcher = argv[2];
    const std::string starter = argc == 4 ? argv[3] : "";
    char buffer[4096] = {};
    GetEnvironmentVariableA("LAUNCHTIMING_ARGUMENTS", buffer, sizeof(buffer));
    const std::string arguments = buffer;

    std::printf("%zu missing values of the fixed table filled in\n", fillMissingTableValues());
    std::vector<double> starts, restores, peaks, directs, directPeaks, differences, ratios;
    // The first run of each only warms up the prefix (files, registry, libraries) and is not counted.
    for (int run = 0; run <= runs; ++run) {
        Timing timing, direct;
        double whole = -1;
        const bool complete = timeQuietStart(launcher, arguments, whole) && timeWatchedRun(launcher, arguments, timing);
        timing.start = whole - kStartupTimerMs;
        const bool directComplete = starter.empty() || timeDirectStart(starter, direct);
        if (run == 0)
            continue;
        if (!complete || !directComplete) {
            std::printf("run %d: incomplete (start %.1f ms, restore %.1f ms, direct %.1f ms)\n", run, timing.start,
                        timing.restore, direct.start);
            continue;
        }
        std::printf("run %d: start %.1f ms, restore %.1f ms, peak working set %.1f MiB", run, timing.start,
                    timing.restore, timing.peakMiB);
        starts.push_back(timing.start);
        restores.push_back(timing.restore);
        peaks.push_back(timing.peakMiB);
        if (!starter.empty()) {
            std::printf(", direct %.1f ms", direct.start);
            directs.push_back(direct.start);
            directPeaks.push_back(direct.peakMiB);
            differences.push_back(whole - direct.start);
            ratios.push_back(whole / direct.start);
        }
        std::printf("\n");
    }
    summary("start (without the 250 ms timer)", starts);
    summary("restore after the window", restores);
    summary("peak working set of a launch", peaks, "MiB");
    if (!starter.empty()) {
        std::vector<double> wholes;
        for (double start : starts)
            wholes.push_back(start + kStartupTimerMs);
        summary("start of Access through the launcher", wholes);
        summary("start of Access through the minimal program", directs);
        summary("difference (launcher - minimal program)", differences);
        summaryRatio("ratio (launcher / minimal program)", ratios);
        summary("peak working set of the minimal program", directPeaks, "MiB");
    }
    return starts.empty() ? 1 : 0;
}

// Times capture and restore of registry values the way Mallowbrook does them:
//   in memory   - a launch: the restore set recorded before Access starts and written back after;
//   file        - -CAPTURE and -RESTORE: recorded into the enciphered capture file, then read back
//                 from it and written back.
//   capture_restore_bench [runs] [copies...]      (defaults: 15 runs; copies 1 10 100)
// One copy is the launcher's whole set: the fixed table plus the three language values the 2007
// launcher adds (354 values). More copies repeat those rows against scratch keys (same roots, same
// value names, same data), so the cost per value can be compared from 354 to 35,400 values.
// Every value is filled in first, so that each capture records all of them: run it only in a
// throwaway Wine prefix (bench/capture-restore makes one).
// Each size gets one warm-up round that is not counted. Lines: each run's four times in the
// order above, then per operation
//   "<operation>, <n> values: median <ms> ms, min <ms> ms, max <ms> ms, <us> us per value"
#include "BenchSupport.h"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "capture/RestoreSet.h"
#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

namespace {

const char kLanguageKey2007[] = "Software\\Microsoft\\Office\\12.0\\Common\\LanguageResources";

struct Row {
    HKEY root;
    std::string key;
    std::string valueName;
    bool number;  // REG_DWORD; else REG_SZ
};

// The launcher's set for one launch of the 2007 edition, in its order.
std::vector<Row> launcherRows() {
    std::vector<Row> rows;
    for (const FixedValue& row : kFixedValues)
        rows.push_back({rootKey(row.hive), row.key, row.valueName, std::string(row.valueName) == "LastAccessInstall"});
    rows.push_back({HKEY_CURRENT_USER, kLanguageKey2007, "UILanguage", true});
    rows.push_back({HKEY_CURRENT_USER, kLanguageKey2007, "HelpLanguage", true});
    rows.push_back({HKEY_CURRENT_USER, kLanguageKey2007, "FollowSystemUI", false});
    return rows;
}

// Copy 0 is the real set; copy n the same rows under a scratch key of their root.
std::vector<Row> rowsOfCopies(int copies) {
    const std::vector<Row> base = launcherRows();
    std::vector<Row> rows = base;
    for (int copy = 1; copy < copies; ++copy) {
        for (Row row : base) {
            const std::string prefix = row.root == HKEY_CLASSES_ROOT ? "" : "Software\\";
            row.key = prefix + "MallowbrookBench\\Copy" + std::to_string(copy) + "\\" + row.key;
            rows.push_back(row);
        }
    }
    return rows;
}

bool fill(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const LONG error =
            row.number
                ? writeDwordValue(row.root, row.key, row.valueName, 3000000000u)
                : writeStringValue(row.root, row.key, row.valueName,
                                   "\"C:\\Program Files\\Office\\MSACCESS.EXE\" /NOSTARTUP \"%1\" " + row.key, true);
        if (error != ERROR_SUCCESS) {
            std::printf("cannot fill %s\\%s (error %ld)\n", row.key.c_str(), row.valueName.c_str(), error);
            return false;
        }
    }
    return true;
}

RestoreSet setOf(const std::vector<Row>& rows, bool fileMode) {
    RestoreSet set(fileMode);
    set.addFixedValues();
    for (std::size_t i = kFixedValueCount; i < rows.size(); ++i)
        set.add(rows[i].root, rows[i].key, rows[i].valueName);
    return set;
}

// Of entries that are the same value, the capture file fills only the first.
std::size_t distinctCount(const std::vector<Row>& rows) {
    std::set<std::tuple<HKEY, std::string, std::string>> values;
    for (const Row& row : rows)
        values.emplace(row.root, row.key, row.valueName);
    return values.size();
}

std::size_t recordedCount(const RestoreSet& set) {
    return std::count_if(set.entries().begin(), set.entries().end(), [](const SavedValue& v) { return v.recorded; });
}

double timed(const std::function<void()>& work) {
    const double start = nowMs();
    work();
    return nowMs() - start;
}

void summarise(const char* operation, std::size_t values, std::vector<double> times) {
    const double median = sortedMedian(times);
    std::printf("%s, %zu values: median %.2f ms, min %.2f ms, max %.2f ms, %.2f us per value\n", operation, values,
                median, times.front(), times.back(), 1000.0 * median / static_cast<double>(values));
    std::fflush(stdout);
}

// One round: each of the four operations once. False when a capture missed a value.
bool oneRound(const std::vector<Row>& rows, std::size_t distinct, double times[4]) {
    bool complete = true;
    RestoreSet inMemory = setOf(rows, false);
    times[0] = timed([&] {
        inMemory = setOf(rows, false);
        inMemory.capture();
    });
    complete = complete && recordedCount(inMemory) == rows.size();
    times[1] = timed([&] { inMemory.restoreAll(); });
    times[2] = timed([&] {
        RestoreSet set = setOf(rows, true);
        set.capture();
        complete = complete && recordedCount(set) == rows.size();
    });
    times[3] = timed([&] {
        RestoreSet set = setOf(rows, true);
        set.load();
        complete = complete && recordedCount(set) == distinct;
        set.restoreAll();
    });
    return complete;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::max(1, std::atoi(argv[i])));
    if (sizes.empty())
        sizes = {1, 10, 100};

    const char* const operations[4] = {"capture in memory", "restore in memory", "capture to file",
                                       "restore from file"};
    for (int copies : sizes) {
        const std::vector<Row> rows = rowsOfCopies(copies);
        const std::size_t distinct = distinctCount(rows);
        if (!fill(rows))
            return 1;
        std::vector<double> times[4];
        double once[4];
        // The warm-up round fills caches of the registry and the file system; it is not counted.
        if (!oneRound(rows, distinct, once)) {
            std::printf("%zu values: a capture missed values\n", rows.size());
            return 1;
        }
        for (int run = 0; run < runs; ++run) {
            if (!oneRound(rows, distinct, once)) {
                std::printf("%zu values: a capture missed values\n", rows.size());
                return 1;
            }
            for (int i = 0; i < 4; ++i)
                times[i].push_back(once[i]);
            std::printf("%zu values, run %d: %.2f, %.2f, %.2f, %.2f ms\n", rows.size(), run + 1, once[0], once[1],
                        once[2], once[3]);
        }
        for (int i = 0; i < 4; ++i)
            summarise(operations[i], rows.size(), times[i]);
    }
    return 0;
}

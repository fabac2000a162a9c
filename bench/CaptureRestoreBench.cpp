// Times capture and restore of the whole fixed table through the capture file, the way
// -CAPTURE and -RESTORE do it, and prints each run and the median, minimum and maximum.
//   capture_restore_bench [runs]      (default 15)
// It fills every value of the table first, so that each capture records all of them: run it
// only in a throwaway Wine prefix (bench/capture-restore makes one).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"
#include "registry/RestoreSet.h"

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void fillTable() {
    for (const FixedValue& row : kFixedValues) {
        if (std::string(row.valueName) == "LastAccessInstall")
            writeDwordValue(rootKey(row.hive), row.key, row.valueName, 3000000000u);
        else
            writeStringValue(rootKey(row.hive), row.key, row.valueName,
                             std::string("\"C:\\Program Files\\Office\\MSACCESS.EXE\" /NOSTARTUP \"%1\" ") + row.key,
                             true);
    }
}

struct Summary {
    double median, minimum, maximum;
};

Summary summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {median, times.front(), times.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    fillTable();

    std::vector<double> captureTimes, restoreTimes;
    std::size_t recorded = 0;
    for (int run = 0; run < runs; ++run) {
        double start = nowMs();
        {
            RestoreSet set(true);
            set.addFixedValues();
            set.capture();
            if (run == 0)
                recorded = std::count_if(set.entries().begin(), set.entries().end(),
                                         [](const SavedValue& v) { return v.recorded; });
        }
        captureTimes.push_back(nowMs() - start);

        start = nowMs();
        {
            RestoreSet set(true);
            set.addFixedValues();
            set.load();
            set.restoreAll();
        }
        restoreTimes.push_back(nowMs() - start);
        std::printf("run %2d: capture %7.2f ms, restore %7.2f ms\n", run + 1, captureTimes.back(),
                    restoreTimes.back());
    }

    std::printf("%zu of %zu fixed values recorded per capture, %d runs\n", recorded, kFixedValueCount, runs);
    for (const auto& [name, times] : {std::make_pair("capture", captureTimes), std::make_pair("restore", restoreTimes)}) {
        const Summary s = summarise(times);
        std::printf("%-8s median %7.2f ms   min %7.2f ms   max %7.2f ms\n", name, s.median, s.minimum, s.maximum);
    }
    return 0;
}

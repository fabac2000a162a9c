#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "registry/FixedValueTable.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

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

double sortedMedian(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::size_t fillMissingTableValues() {
    std::size_t filled = 0;
    for (const FixedValue& row : kFixedValues) {
        std::string text;
        if (readStringValue(rootKey(row.hive), row.key, row.valueName, text) != ERROR_FILE_NOT_FOUND)
            continue;
        // Office stores the last installed Access as a number.
        const bool number = std::string(row.valueName) == "LastAccessInstall";
        const LONG error =
            number ? writeDwordValue(rootKey(row.hive), row.key, row.valueName, 10)
                   : writeStringValue(rootKey(row.hive), row.key, row.valueName, std::string("bench ") + row.key, true);
        if (error == ERROR_SUCCESS)
            ++filled;
    }
    return filled;
}

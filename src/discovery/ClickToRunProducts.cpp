#include "discovery/ClickToRunProducts.h"

#include "base/AsciiCase.h"
#include "base/TextRules.h"

namespace {

constexpr char kRuntimeReleaseId[] = "AccessRuntimeRetail";

// Click-to-Run products with full Access, from Office 2016 to Microsoft 365.
const char* const kFullAccessProducts[] = {
    "O365ProPlusRetail",      "O365ProPlusEEANoTeamsRetail",
    "O365BusinessRetail",     "O365BusinessEEANoTeamsRetail",
    "O365HomePremRetail",     "O365SmallBusPremRetail",
    "ProPlusRetail",          "ProPlusVolume",
    "ProPlus2019Retail",      "ProPlus2019Volume",
    "ProPlus2021Retail",      "ProPlus2021Volume",
    "ProPlusSPLA2021Volume",  "ProPlus2024Retail",
    "ProPlus2024Volume",      "ProfessionalRetail",
    "Professional2019Retail", "Professional2021Retail",
    "Professional2024Retail", "AccessRetail",
    "AccessVolume",           "Access2019Retail",
    "Access2019Volume",       "Access2021Retail",
    "Access2021Volume",       "Access2024Retail",
    "Access2024Volume",
};

}  // namespace

std::vector<std::string> clickToRunReleaseIds(const std::string& productReleaseIds) {
    std::vector<std::string> ids;
    std::string::size_type start = 0;
    while (start <= productReleaseIds.size()) {
        std::string::size_type end = productReleaseIds.find(',', start);
        if (end == std::string::npos)
            end = productReleaseIds.size();
        std::string::size_type first = start, last = end;
        while (first < last && isAsciiSpace(productReleaseIds[first]))
            ++first;
        while (last > first && isAsciiSpace(productReleaseIds[last - 1]))
            --last;
        if (last > first)
            ids.push_back(productReleaseIds.substr(first, last - first));
        start = end + 1;
    }
    return ids;
}

bool containsFullAccess(const std::string& releaseId) {
    for (const char* product : kFullAccessProducts)
        if (equalsIgnoringAsciiCase(releaseId, product))
            return true;
    return false;
}

bool isClickToRunRuntime(const std::string& productReleaseIds) {
    bool runtime = false;
    for (const std::string& id : clickToRunReleaseIds(productReleaseIds)) {
        if (containsFullAccess(id))
            return false;
        runtime = runtime || equalsIgnoringAsciiCase(id, kRuntimeReleaseId);
    }
    return runtime;
}

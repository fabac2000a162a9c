#include "environment/RecordedValues.h"

#include <unordered_set>

#include "registry/FixedValueTable.h"

namespace {

// Recorded where the -LANG choice lasts only for the launch.
const char* const kLanguageValues[] = {"UILanguage", "HelpLanguage", "FollowSystemUI"};

std::string rowIdentity(Hive hive, const std::string& key, const std::string& valueName, RegistryView view) {
    return std::string(1, static_cast<char>('0' + static_cast<int>(hive))) +
           (view == RegistryView::View64 ? "64" : "") + '\0' + key + '\0' + valueName;
}

}  // namespace

std::string languageResourcesKey(const std::string& officeVersion) {
    return "Software\\Microsoft\\Office\\" + officeVersion + "\\Common\\LanguageResources";
}

std::vector<RecordedRow> recordedRows(const AccessEdition& edition, bool access64) {
    std::vector<RecordedRow> rows;
    rows.reserve(kFixedValueCount + 5);
    if (access64) {
        for (const ViewedValue& value : fixedValuesFor64BitAccess())
            rows.push_back({value.hive, value.key, value.valueName, false, 0, value.view});
    } else {
        for (const FixedValue& row : kFixedValues)
            rows.push_back({row.hive, row.key, row.valueName});
    }
    if (edition.recordsLanguageValues)
        for (const char* value : kLanguageValues)
            rows.push_back({Hive::CurrentUser, languageResourcesKey(edition.officeVersion), value});
    if (edition.macroSecurityKey != nullptr)
        rows.push_back({Hive::CurrentUser, edition.macroSecurityKey, "Level", true, kDefaultMacroSecurityLevel});
    return rows;
}

bool isRecordedRow(Hive hive, const std::string& key, const std::string& valueName, RegistryView view) {
    static const std::unordered_set<std::string> known = [] {
        std::unordered_set<std::string> rows;
        for (const AccessEdition& edition : kAccessEditions)
            for (bool access64 : {false, true})
                for (const RecordedRow& row : recordedRows(edition, access64))
                    rows.insert(rowIdentity(row.hive, row.key, row.valueName, row.view));
        return rows;
    }();
    return known.count(rowIdentity(hive, key, valueName, view)) != 0;
}

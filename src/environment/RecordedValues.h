#pragma once
#include <string>
#include <vector>

#include "discovery/AccessEditions.h"
#include "registry/Hive.h"
#include "registry/RegistryView.h"

// The values a launch records and puts back: the fixed table, then the rows its edition adds.
// The journal may name these and no others, since any program of the user can write a journal
// and recovery may run with administrator rights. Pure data: no windows.h.

struct RecordedRow {
    Hive hive;
    std::string key;
    std::string valueName;  // empty: the key's default value
    // Recorded as this number where the value is absent, so that the put-back leaves what the
    // product assumes instead of what the launch set.
    bool numberWhenAbsent = false;
    unsigned absentNumber = 0;
    RegistryView view = RegistryView::Own;
};

// The macro security "Level" Access 2003 assumes when it was never set: Medium.
constexpr unsigned kDefaultMacroSecurityLevel = 2;

// In recording order. For a 64-bit Access, the values under the keys WOW64 keeps apart are those
// of the 64-bit view, and its "win64" object library path is recorded too.
std::vector<RecordedRow> recordedRows(const AccessEdition& edition, bool access64 = false);
// Whether a launch of any edition, of either bitness, records this value in this view (names
// compared exactly, as recorded).
bool isRecordedRow(Hive hive, const std::string& key, const std::string& valueName,
                   RegistryView view = RegistryView::Own);

// "Software\Microsoft\Office\<officeVersion>\Common\LanguageResources", under HKEY_CURRENT_USER.
std::string languageResourcesKey(const std::string& officeVersion);

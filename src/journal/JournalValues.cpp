#include "journal/JournalValues.h"

#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"

JournalEntry journalEntryOf(const SavedValue& value) {
    JournalEntry entry;
    hiveOf(value.root, entry.hive);
    entry.view = value.view;
    entry.key = value.key;
    entry.valueName = value.valueName;
    JournalState& state = entry.recorded;
    state.present = value.recorded;
    if (!value.recorded)
        return entry;
    DWORD type = 0;
    storedForm(value, type, state.bytes);
    state.type = type;
    return entry;
}

JournalState currentState(const JournalEntry& entry) {
    return readStoredValue(rootKey(entry.hive), entry.key, entry.valueName, viewFlag(entry.view));
}

void writeRecorded(const JournalEntry& entry) {
    if (entry.recorded.present)
        writeRawValue(rootKey(entry.hive), entry.key, entry.valueName, entry.recorded.type, entry.recorded.bytes,
                      viewFlag(entry.view));
}

std::string journalValueText(const JournalEntry& entry) {
    return std::string(hiveText(entry.hive)) + "\\" + entry.key + " [" + entry.valueName + "]" +
           registryViewNote(entry.view);
}

bool sameValue(const JournalEntry& a, const JournalEntry& b) {
    return a.hive == b.hive && a.view == b.view && a.key == b.key && a.valueName == b.valueName;
}

std::vector<JournalEntry> valuesNotBack(const std::vector<JournalEntry>& entries, ILog* log) {
    std::vector<JournalEntry> missing;
    for (const JournalEntry& entry : entries) {
        if (!entry.recorded.present || currentState(entry) == entry.recorded)
            continue;
        log->WriteLine("Could not put back: " + journalValueText(entry));
        missing.push_back(entry);
    }
    return missing;
}

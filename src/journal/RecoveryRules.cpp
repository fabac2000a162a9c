#include "journal/RecoveryRules.h"

#include <algorithm>

#include "capture/RecordedTypes.h"
#include "environment/RecordedValues.h"

namespace {

// Names come from a file anyone may have written: nothing in them may start a log line of its own.
std::string printable(const std::string& text) {
    std::string shown = text.substr(0, 200);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return shown + (text.size() > 200 ? "..." : "");
}

}  // namespace

std::vector<std::size_t> journalsToPutBack(const std::vector<JournalStatus>& journals) {
    std::uint64_t latestRunning = 0;
    bool anyRunning = false;
    for (const JournalStatus& journal : journals)
        if (journal.running) {
            latestRunning = std::max(latestRunning, journal.recordedAt);
            anyRunning = true;
        }
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < journals.size(); ++i)
        if (!journals[i].running && (!anyRunning || journals[i].recordedAt > latestRunning))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&journals](std::size_t a, std::size_t b) {
        return journals[a].recordedAt > journals[b].recordedAt;
    });
    return order;
}

ValueAction valueAction(const JournalEntry& entry, bool switchDone, const JournalState& now) {
    // A value absent at recording is not deleted, as a normal put-back does not delete it either.
    if (!entry.recorded.present || now == entry.recorded)
        return ValueAction::AlreadyBack;
    // Builds before this one recorded expandable text as plain text: the same text is already back.
    if (entry.recorded.type == 1 && now.present && now.type == 2 && now.bytes == entry.recorded.bytes)
        return ValueAction::AlreadyBack;
    if (switchDone && now != entry.switchedTo)
        return ValueAction::LeaveAlone;
    return ValueAction::PutBack;
}

std::string foreignValueIn(const Journal& journal) {
    for (std::size_t i = 0; i < journal.entries.size(); ++i) {
        const JournalEntry& entry = journal.entries[i];
        const std::string value = "value line " + std::to_string(i + 1) + " (" + hiveText(entry.hive) + "\\" +
                                  printable(entry.key) + " [" + printable(entry.valueName) + "]" +
                                  registryViewNote(entry.view) + ")";
        if (!isRecordedRow(entry.hive, entry.key, entry.valueName, entry.view))
            return value + " is not a value Mallowbrook records";
        // Only the record is ever written back; what the switch left is only compared.
        if (entry.recorded.present && !isRecordedType(entry.recorded.type))
            return value + " has the type " + std::to_string(entry.recorded.type) + ", which Mallowbrook never records";
    }
    return std::string();
}

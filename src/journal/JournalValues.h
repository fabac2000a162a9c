#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "capture/SavedValue.h"
#include "journal/JournalText.h"
#include "log/ILog.h"

// The registry side of journal entries.

// The entry for a recorded value, holding it as the put-back writes it.
JournalEntry journalEntryOf(const SavedValue& value);
JournalState currentState(const JournalEntry& entry);
// Writes the recorded value back; an entry recorded as absent is left as it is.
void writeRecorded(const JournalEntry& entry);
// "HKEY_CURRENT_USER\key [name]"
std::string journalValueText(const JournalEntry& entry);
bool sameValue(const JournalEntry& a, const JournalEntry& b);
// Reads every recorded value back and returns those that do not hold their record, each
// logged as "Could not put back: ...".
std::vector<JournalEntry> valuesNotBack(const std::vector<JournalEntry>& entries, ILog* log);

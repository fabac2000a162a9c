#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "journal/JournalText.h"

// Which journals of interrupted launches go back now, and what each does to one value. Pure
// rules, so that the order of concurrent launchers can be checked without running any.

struct JournalStatus {
    std::uint64_t recordedAt;
    bool running;  // its launcher still runs and will put back its own values
};

// The journals to put back now, latest record first: those whose launcher no longer runs and
// that recorded after every launcher still running. The others wait for that launcher.
std::vector<std::size_t> journalsToPutBack(const std::vector<JournalStatus>& journals);

enum class ValueAction {
    AlreadyBack,  // holds its record
    PutBack,      // holds what the launch switched it to (or, before the switch was known, anything else)
    LeaveAlone,   // changed since by someone else
};
ValueAction valueAction(const JournalEntry& entry, bool switchDone, const JournalState& now);

// Any program of the user can write a journal, and recovery may run with administrator rights:
// a journal goes back only when each of its values is one a launch records, with a type the
// recording keeps. Empty when it may; else why not, naming the first value that is not.
std::string foreignValueIn(const Journal& journal);

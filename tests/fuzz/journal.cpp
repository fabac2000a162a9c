// Any bytes may be found where a journal should be: reading them must never fail, a journal
// accepted must be exactly what the writer would write for it, and written journals read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "journal/JournalText.h"
#include "journal/RecoveryRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    Journal journal;
    std::string reason;
    if (parseJournal(bytes, journal, reason)) {
        if (formatJournal(journal) != bytes)
            __builtin_trap();
        // Whatever a journal names, judging it never fails, and one it refuses names a value line.
        const std::string foreign = foreignValueIn(journal);
        if (!foreign.empty() && foreign.rfind("value line ", 0) != 0)
            __builtin_trap();
    } else if (reason.empty() || !journal.entries.empty()) {
        __builtin_trap();
    }

    // The bytes as names and data of a written journal: they read back exactly.
    Journal written;
    written.processId = size;
    written.started = size * 7;
    written.recordedAt = size * 13;
    written.switchDone = size % 2 == 0;
    const size_t half = size / 2;
    JournalEntry entry;
    entry.hive = static_cast<Hive>(size % 4);
    entry.key = bytes.substr(0, half);
    entry.valueName = bytes.substr(half);
    entry.recorded.present = true;
    entry.recorded.type =
        size >= 4 ? (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24) : 0;
    entry.recorded.bytes = bytes;
    if (written.switchDone)
        entry.switchedTo = entry.recorded;
    written.entries = {entry, JournalEntry()};
    Journal read;
    if (!parseJournal(formatJournal(written), read, reason) || read.entries.size() != 2 ||
        read.entries[0].key != entry.key || read.entries[0].valueName != entry.valueName ||
        read.entries[0].recorded != entry.recorded || read.entries[0].switchedTo != entry.switchedTo ||
        read.entries[0].hive != entry.hive || read.recordedAt != written.recordedAt)
        __builtin_trap();
    return 0;
}

#pragma once
#include <cstdint>
#include <string>

#include "capture/RestoreSet.h"
#include "journal/JournalText.h"
#include "log/ILog.h"

// This launch's own journal: the record, then what the switch made of it, kept on disk until
// the put-back has been read back and found complete. The caller holds the JournalLock.
class LaunchJournal {
public:
    explicit LaunchJournal(ILog* log);

    // Written right after recording, before anything is switched, in the first place that takes
    // it. False when none does: the launch still runs, but an interruption could not be put back.
    bool begin(const RestoreSet& set, std::uint64_t recordedAt);
    // Once the switch is done: what each recorded value holds now.
    void markSwitched();
    // Writes every recorded value back from the journal itself (session end) and checks it.
    bool putBack();
    // After the launcher's own put-back of `set`: reads each value back. Complete, the journal
    // goes; otherwise it keeps only what did not come back, for the next launch to retry.
    bool confirmPutBack(const RestoreSet& set);

    bool settled() const { return settled_; }
    std::uint64_t recordedAt() const { return journal_.recordedAt; }

private:
    bool keepOnly(const std::vector<JournalEntry>& missing);

    ILog* log_;
    Journal journal_;
    std::string path_;
    bool settled_ = false;  // put back and confirmed; nothing more to do
};

#include "journal/RecoveryRules.h"

#include <algorithm>

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
    if (switchDone && now != entry.switchedTo)
        return ValueAction::LeaveAlone;
    return ValueAction::PutBack;
}

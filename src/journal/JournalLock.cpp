#include "journal/JournalLock.h"

JournalLock::JournalLock()
    : mutex_(CreateMutexA(nullptr, FALSE, "Local\\MallowbrookJournalLock")), hold_(mutex_.get()) {}

#include "launch/RecordingOrder.h"

#include "base/MutexHold.h"
#include "journal/LauncherIdentity.h"

namespace {

const char kLockName[] = "Local\\MallowbrookRecordingOrderLock";
const char kListName[] = "Local\\MallowbrookRecordingOrder";
const DWORD kPollMilliseconds = 100;

bool sameMember(const RecordingOrder::Member& a, const RecordingOrder::Member& b) {
    return a.processId == b.processId && CompareFileTime(&a.started, &b.started) == 0;
}

bool stillRunning(const RecordingOrder::Member& member) {
    return isLauncherRunning(member.processId, member.started);
}

}  // namespace

template <typename Action>
bool RecordingOrder::withList(Action action) {
    if (shared_ == nullptr)
        return false;
    MutexHold lock(lock_.get());
    if (!lock.held())
        return false;
    DWORD kept = 0;
    for (DWORD i = 0; i < shared_->count && i < kCapacity; ++i)
        if (sameMember(shared_->members[i], self_) || stillRunning(shared_->members[i]))
            shared_->members[kept++] = shared_->members[i];
    shared_->count = kept;
    action(*shared_);
    return true;
}

RecordingOrder::RecordingOrder(const std::function<void()>& record) {
    self_.processId = GetCurrentProcessId();
    if (processStartTime(GetCurrentProcess(), self_.started)) {
        lock_.reset(CreateMutexA(nullptr, FALSE, kLockName));
        mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared), kListName));
        if (lock_ && mapping_)
            shared_ = static_cast<Shared*>(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(Shared)));
    }
    const bool ordered = withList([this, &record](Shared& list) {
        if (list.count < kCapacity) {
            list.members[list.count++] = self_;
            joined_ = true;
        }
        record();
    });
    if (!ordered)
        record();
}

RecordingOrder::~RecordingOrder() {
    if (joined_) {
        withList([this](Shared& list) {
            DWORD kept = 0;
            for (DWORD i = 0; i < list.count; ++i)
                if (!sameMember(list.members[i], self_))
                    list.members[kept++] = list.members[i];
            list.count = kept;
        });
    }
    if (shared_ != nullptr)
        UnmapViewOfFile(shared_);
}

void RecordingOrder::waitForLaterLaunchers(ILog* log) {
    if (!joined_)
        return;
    for (bool announced = false;;) {
        bool later = false;
        withList([this, &later](Shared& list) {
            for (DWORD i = 0; i < list.count; ++i)
                if (sameMember(list.members[i], self_))
                    later = i + 1 < list.count;
        });
        if (!later)
            return;
        if (!announced) {
            log->WriteLine("Waiting for a launcher started later to put back its registry values first");
            announced = true;
        }
        Sleep(kPollMilliseconds);
    }
}

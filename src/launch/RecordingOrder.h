#pragma once
#include <windows.h>

#include <functional>

#include "base/UniqueHandle.h"
#include "log/ILog.h"

// Launchers that run at the same time record the registry one after another, so a later one
// records what an earlier one has already switched. They put the values back in the opposite
// order: each waits until every launcher that started recording after it has put back its own,
// so the record of the first one, the state before any of them, is written last.
//
// The order is a list of running launchers shared through a named mapping of this session.
// A launcher that was ended without putting back (killed, crashed) drops out of it by itself.
class RecordingOrder {
public:
    // Joins the order as its latest member and records, both under the order's lock, so that
    // no launcher can switch anything between this one joining and recording. Without the
    // shared list the launcher records and runs alone.
    explicit RecordingOrder(const std::function<void()>& record);
    // Leaves the order.
    ~RecordingOrder();
    RecordingOrder(const RecordingOrder&) = delete;
    RecordingOrder& operator=(const RecordingOrder&) = delete;

    // Returns once no launcher that joined after this one is still in the order.
    void waitForLaterLaunchers(ILog* log);

    struct Member {
        DWORD processId;
        FILETIME started;  // tells a launcher from a later process that got its id
    };
    static constexpr DWORD kCapacity = 32;
    struct Shared {
        DWORD count;
        Member members[kCapacity];
    };

private:
    // Runs `action` on the shared list with the lock held, after taking out members that ended.
    template <typename Action>
    bool withList(Action action);

    UniqueKernelHandle lock_;
    UniqueKernelHandle mapping_;
    Shared* shared_ = nullptr;
    Member self_ = {};
    bool joined_ = false;
};

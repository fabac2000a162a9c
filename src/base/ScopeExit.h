#pragma once
#include <utility>

// A one-off clean-up that runs on every way out of a scope, said once beside the step it undoes:
//   auto undo = scopeExit([&] { ... });
//   undo.run();      // done now, and not again
//   undo.release();  // not needed after all
template <typename Action>
class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(std::move(action)) {}
    ScopeExit(ScopeExit&& other) noexcept : action_(std::move(other.action_)), armed_(other.armed_) {
        other.armed_ = false;
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;
    ~ScopeExit() { run(); }

    void run() {
        if (armed_) {
            armed_ = false;
            action_();
        }
    }
    void release() { armed_ = false; }

private:
    Action action_;
    bool armed_ = true;
};

template <typename Action>
ScopeExit<Action> scopeExit(Action action) {
    return ScopeExit<Action>(std::move(action));
}

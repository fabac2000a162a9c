#include "frontend/FrontEndProgress.h"

#include "frontend/FrontEndRules.h"

namespace {

// Often enough to look alive, seldom enough that a fast copy is not slowed down by painting.
const DWORD kRefreshMs = 50;

}  // namespace

FrontEndProgress::FrontEndProgress(HINSTANCE instance, bool enabled, const std::string& master)
    : instance_(instance), enabled_(enabled), master_(master) {}

void FrontEndProgress::show(bool waiting, std::uint64_t copied, std::uint64_t total) {
    if (!enabled_)
        return;
    const DWORD now = GetTickCount();
    if (!running_) {
        running_ = true;
        started_ = now;
    }
    if (!window_) {
        if (now - started_ < kFrontEndProgressDelayMs)
            return;
        controls_ = loadProgressBarClass();
        ProgressLook look;
        look.steps = kCopyProgressSteps;
        look.caption = kCopyProgressCaption;
        look.textLines = true;
        window_ = std::make_unique<ProgressWindow>(instance_, nullptr, look);
    } else if (now - shown_ < kRefreshMs && copied < total) {
        return;
    }
    shown_ = now;
    window_->setLines(copyProgressLine(master_, waiting), copyAmountText(copied, total));
    window_->setPosition(1 + copyProgressStep(copied, total));
}

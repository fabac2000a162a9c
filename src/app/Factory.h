#pragma once
#include <memory>
#include "log/ILog.h"

// Creates and owns the single log sink; deleting the Factory closes the log.
class Factory {
public:
    virtual ~Factory() { log_.reset(); }

    ILog* log() const { return log_.get(); }
    bool hasLog() const { return log_ != nullptr; }
    void adopt(std::unique_ptr<ILog> log) { log_ = std::move(log); }

private:
    std::unique_ptr<ILog> log_;
};

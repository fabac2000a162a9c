#pragma once
#include "log/ILog.h"

// Logging is off: every line is dropped.
class NullLog : public ILog {
public:
    bool IsEnabled() override { return false; }
    bool WriteLine(const std::string&) override { return true; }
};

#pragma once
#include <string>
#include <vector>
#include "log/ILog.h"

// Holds the lines written during start-up, before it is known whether logging is wanted.
class StringLog : public ILog {
public:
    bool IsEnabled() override { return true; }
    bool WriteLine(const std::string& line) override {
        lines_.push_back(line);
        return true;
    }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

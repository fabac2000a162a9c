#pragma once
#include <string>

// Every part of the program writes whole lines through this interface and never
// knows which sink stands behind it. Callers compose a line only when IsEnabled().
class ILog {
public:
    virtual ~ILog() = default;
    virtual bool IsEnabled() = 0;
    virtual bool WriteLine(const std::string& line) = 0;
};

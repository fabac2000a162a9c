#pragma once
#include <string>
#include "base/UniqueHandle.h"
#include "log/ILog.h"

// Appends lines to "MallowbrookLog5.txt" on the desktop. Unbuffered, so the file is
// complete up to the last line even when the process is ended abruptly.
class TextLog : public ILog {
public:
    static constexpr const char* kFileName = "MallowbrookLog5.txt";
    static constexpr const char* kSeparator = "===================================================";

    TextLog();
    ~TextLog() override;
    TextLog(const TextLog&) = delete;
    TextLog& operator=(const TextLog&) = delete;

    bool IsEnabled() override { return true; }
    bool WriteLine(const std::string& line) override;
    const std::string& fileName() const { return fileName_; }

private:
    bool writeBytes(const char* bytes, size_t length);

    std::string fileName_;
    UniqueFile file_;
};

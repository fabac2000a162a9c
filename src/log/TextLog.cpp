#include "log/TextLog.h"

#include <windows.h>
#include <shlobj.h>

namespace {
const char kLineEnd[] = "\r\n";
}

TextLog::TextLog() {
    char folder[MAX_PATH] = {};
    if (SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE) != TRUE)
        return;
    fileName_ = std::string(folder) + "\\" + kFileName;
    // Shared for reading only: a second instance cannot open it and simply logs nothing.
    file_.reset(CreateFileA(fileName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        return;
    SetFilePointer(file_.get(), 0, nullptr, FILE_END);
    WriteLine(kSeparator);
}

TextLog::~TextLog() {
    if (!file_)
        return;
    if (writeBytes(kSeparator, std::char_traits<char>::length(kSeparator)))
        writeBytes(kLineEnd, 2);
    if (writeBytes(kLineEnd, 2))
        writeBytes(kLineEnd, 2);
}

bool TextLog::writeBytes(const char* bytes, size_t length) {
    DWORD written = 0;
    return WriteFile(file_.get(), bytes, static_cast<DWORD>(length), &written, nullptr) != FALSE;
}

bool TextLog::WriteLine(const std::string& line) {
    if (!writeBytes(line.data(), line.size()))
        return false;
    writeBytes(kLineEnd, 2);
    return true;
}

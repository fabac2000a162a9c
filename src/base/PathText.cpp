#include "base/PathText.h"

std::string folderPart(const std::string& path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string::npos ? path : path.substr(0, last);
}

std::string fileNamePart(const std::string& path) {
    const std::size_t last = path.rfind('\\');
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string ensureTrailingBackslash(const std::string& text) {
    if (!text.empty() && text.back() == '\\')
        return text;
    return text + '\\';
}

std::string joinPath(const std::string& first, const std::string& second) {
    const std::size_t start = second.find_first_not_of('\\');
    return ensureTrailingBackslash(first) + (start == std::string::npos ? std::string() : second.substr(start));
}

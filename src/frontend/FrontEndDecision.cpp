#include "frontend/FrontEndDecision.h"

#include <windows.h>

#include <cstdint>

#include "base/WholeFile.h"

namespace {

// A record holds a path and two numbers: anything much larger is not one of ours.
const unsigned long long kLargestRecord = 64 * 1024;

std::uint64_t number(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

bool readFrontEndRecord(const std::string& copy, FrontEndRecord& record) {
    std::string text;
    return readWholeFile(recordPath(copy), text, kLargestRecord) && parseFrontEndRecord(text, record);
}

FrontEndDecision decideFrontEnd(const std::string& master, const std::string& copy) {
    FrontEndDecision decision;
    FrontEndFacts& facts = decision.facts;
    facts.master = master;
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (!GetFileAttributesExA(master.c_str(), GetFileExInfoStandard, &info))
        decision.masterError = GetLastError();
    else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        decision.masterError = ERROR_ACCESS_DENIED;  // what opening it to copy would say
    facts.masterFound = decision.masterError == ERROR_SUCCESS;
    facts.masterSize = number(info.nFileSizeHigh, info.nFileSizeLow);
    facts.masterTime = number(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    info = {};
    facts.copyExists = GetFileAttributesExA(copy.c_str(), GetFileExInfoStandard, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    facts.copyTime = number(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    facts.recordFound = facts.copyExists && readFrontEndRecord(copy, facts.record);
    decision.verdict = judgeFrontEnd(facts);
    return decision;
}

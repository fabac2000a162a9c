#pragma once
#include <string>

#include "frontend/FrontEndRules.h"

// What -UPDATE would do with a profile copy, read without changing anything: the master's size and
// time, the copy's time and its record, and the verdict on them. The update decides by it, and
// whatever reports on a launch can ask the same question and get the same answer.
struct FrontEndDecision {
    FrontEndVerdict verdict = FrontEndVerdict::MasterUnreachable;
    FrontEndFacts facts;
    unsigned long masterError = 0;  // why the master's size and time could not be read
};
FrontEndDecision decideFrontEnd(const std::string& master, const std::string& copy);

// The record beside the copy; false when there is none, or it is damaged (it then counts as none).
bool readFrontEndRecord(const std::string& copy, FrontEndRecord& record);

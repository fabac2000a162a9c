#pragma once

// The permission helper's test seam. Only the test build of the helper links HelperProbe.cpp
// (its names and protocol are in HelperProbeNames.h); the shipped helper links NoHelperProbe.cpp,
// which does nothing, so the program that runs with administrator rights holds no probe at all.
class HelperProbe {
public:
    HelperProbe();
    void started(const char* commandLine) const;
    // Around the work: each reports and then waits for the test's go-ahead, if it asked for one.
    void workStarting() const;
    void workFinished() const;

private:
    bool active_ = false;
};

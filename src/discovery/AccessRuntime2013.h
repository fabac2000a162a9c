#pragma once
#include "discovery/MsiComponentAccessRuntime.h"

// Access 2013 runtime (Office 15.0).
class AccessRuntime2013 : public MsiComponentAccessRuntime {
public:
    using MsiComponentAccessRuntime::MsiComponentAccessRuntime;
    std::string productCodePrefix() const override { return "{90150000-001C-"; }
    std::string productCodeSuffix() const override { return "-0000-0000000FF1CE}"; }
    std::string componentCode() const override { return "{A3E12EF0-7C3B-4493-99A3-F92FCD0AA512}"; }
};

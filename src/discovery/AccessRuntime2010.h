#pragma once
#include "discovery/MsiComponentAccessRuntime.h"

// Access 2010 runtime (Office 14.0).
class AccessRuntime2010 : public MsiComponentAccessRuntime {
public:
    using MsiComponentAccessRuntime::MsiComponentAccessRuntime;
    std::string productCodePrefix() const override { return "{90140000-001C-"; }
    std::string productCodeSuffix() const override { return "-0000-0000000FF1CE}"; }
    std::string componentCode() const override { return "{AE393348-E564-4894-B8C5-EBBC5E72EFC6}"; }
};

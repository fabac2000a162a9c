#pragma once
#include "discovery/MsiComponentAccessRuntime.h"

// Access 2007 runtime (Office 12.0).
class AccessRuntime2007 : public MsiComponentAccessRuntime {
public:
    using MsiComponentAccessRuntime::MsiComponentAccessRuntime;
    std::string productCodePrefix() const override { return "{90120000-001C-"; }
    std::string productCodeSuffix() const override { return "-0000-0000000FF1CE}"; }
    std::string componentCode() const override { return "{0638C49D-BB8B-4CD1-B191-054E8F325736}"; }
};

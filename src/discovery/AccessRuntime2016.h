#pragma once
#include "discovery/MsiComponentAccessRuntime.h"

// Access 2016 runtime (Office 16.0).
class AccessRuntime2016 : public MsiComponentAccessRuntime {
public:
    using MsiComponentAccessRuntime::MsiComponentAccessRuntime;
    std::string productCodePrefix() const override { return "{90160000-001C-"; }
    std::string productCodeSuffix() const override { return "-0000-0000000FF1CE}"; }
    std::string componentCode() const override { return "{E34AA7C4-8845-4BD7-BAC6-26554B60823B}"; }
};

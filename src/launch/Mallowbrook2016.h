#pragma once
#include "launch/MallowbrookPost2007.h"

// Access 2016 (Office 16).
class Mallowbrook2016 : public MallowbrookPost2007 {
public:
    using MallowbrookPost2007::MallowbrookPost2007;

    int version() const override { return 2016; }
    std::string switchCurVer(const std::string& accessFolder) override;
};

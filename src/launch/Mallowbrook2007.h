#pragma once
#include "launch/MallowbrookPost2007.h"

// Access 2007 (Office 12).
class Mallowbrook2007 : public MallowbrookPost2007 {
public:
    using MallowbrookPost2007::MallowbrookPost2007;

    int version() const override { return 2007; }
    std::string switchCurVer(const std::string& accessFolder) override;
};

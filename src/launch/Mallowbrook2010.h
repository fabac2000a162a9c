#pragma once
#include "launch/MallowbrookPost2007.h"

// Access 2010 (Office 14).
class Mallowbrook2010 : public MallowbrookPost2007 {
public:
    using MallowbrookPost2007::MallowbrookPost2007;

    int version() const override { return 2010; }
    std::string switchCurVer(const std::string& accessFolder) override;
};

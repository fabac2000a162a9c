#pragma once
#include "launch/MallowbrookPost2007.h"

// Access 2013 (Office 15).
class Mallowbrook2013 : public MallowbrookPost2007 {
public:
    using MallowbrookPost2007::MallowbrookPost2007;

    int version() const override { return 2013; }
    std::string switchCurVer(const std::string& accessFolder) override;
};

#pragma once
#include "launch/Mallowbrook.h"

// Access 2002 (Office 10).
class Mallowbrook2002 : public Mallowbrook {
public:
    using Mallowbrook::Mallowbrook;

    int version() const override { return 2002; }
    std::string switchCurVer(const std::string& accessFolder) override;
    void finishRun() override {}
};

#pragma once
#include "launch/Mallowbrook.h"

// Access 2003 (Office 11): also lowers the macro security level for the run and puts it back.
class Mallowbrook2003 : public Mallowbrook {
public:
    using Mallowbrook::Mallowbrook;

    int version() const override { return 2003; }
    std::string switchCurVer(const std::string& accessFolder) override;
    // Nothing beyond the recorded values: the macro security level is one of them.
    void finishRun() override;
};

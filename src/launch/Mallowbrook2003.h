#pragma once
#include "launch/Mallowbrook.h"

// Access 2003 (Office 11): also lowers the macro security level for the run and puts it back.
class Mallowbrook2003 : public Mallowbrook {
public:
    using Mallowbrook::Mallowbrook;

    int version() const override { return 2003; }
    std::string switchCurVer(const std::string& accessFolder) override;
    void finishRun() override;

private:
    // The key of the macro security level, under HKEY_CURRENT_USER.
    std::string securityKey() const;

    DWORD savedSecurityLevel = 0;
    bool securityLevelSaved = false;  // nothing to write back before the switch read it
};

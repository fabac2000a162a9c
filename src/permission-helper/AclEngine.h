#pragma once
#include <string>

#include "permission-helper/AclCommand.h"

// Applies the helper's per-key ACL commands to the registry with the Windows security functions.
// Only the named key changes: its new security is written directly, so nothing is propagated to
// its subkeys.

enum class AclOutcome {
    Applied,
    Rejected,    // the command text is malformed; nothing was touched
    KeyMissing,  // the named key does not exist; nothing was touched
    Failed,      // the key could not be read or changed; nothing was changed
};

struct AclResult {
    AclOutcome outcome = AclOutcome::Failed;
    std::string message;
};

AclResult applyAclRequest(const AclRequest& request);
// Parses the text first; a text that does not parse is rejected as a whole.
AclResult applyAclCommand(const std::string& commandText);

#pragma once
#include <windows.h>

#include <string>

#include "permission-helper/AclCommand.h"

// Applies the helper's per-key ACL commands to the registry with the Windows security functions.
// Only the named key changes: its new security is written directly, so nothing is propagated to
// its subkeys.

// What "p:change" grants: all the launcher does to a key it switches and puts back, nothing that
// changes who may do it. The registry functions open keys with KEY_READ, or KEY_READ | KEY_WRITE
// to write, and an open asks for every right of its mask or fails.
constexpr DWORD kKeyChangeRights = KEY_QUERY_VALUE           // read a value to record it, and read it back
                                   | KEY_SET_VALUE           // write a value and put it back; delete a value
                                   | KEY_CREATE_SUB_KEY      // create a missing key it writes below this
                                   | KEY_ENUMERATE_SUB_KEYS  // list the subkeys of a tree it deletes
                                   | KEY_NOTIFY              // part of KEY_READ, so part of every open
                                   | READ_CONTROL            // part of KEY_READ and KEY_WRITE likewise
                                   | DELETE;                 // delete a key it wrote
// Left out: WRITE_DAC and WRITE_OWNER (a user could then give the key to anyone), KEY_CREATE_LINK
// (a link would send writes meant for the key elsewhere), and so KEY_ALL_ACCESS and GENERIC_ALL.
static_assert(kKeyChangeRights == (KEY_READ | KEY_WRITE | DELETE), "an open with the launcher's masks must pass");

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

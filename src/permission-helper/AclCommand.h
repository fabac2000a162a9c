#pragma once
#include <string>
#include <vector>

#include "registry/Hive.h"
#include "registry/RegistryView.h"

// The per-key command text of the permission helper, e.g.
//   -on "HKEY_LOCAL_MACHINE\SOFTWARE\CLASSES\.MDB" -ot reg -actn ace
//   -ace "n:S-1-5-32-545;p:change;s:y" -actn clear -clr "dacl"
// parsed into an explicit request. Pure text: no Windows calls, so it can be fuzzed natively.

// Full: every right. Read: reading only. Change: reading and changing the key's values and
// subkeys, but not its security (the rights are listed in AclEngine.h).
enum class AclPermission { Full, Read, Change };

// How an entry is merged into the DACL; "set" replaces the trustee's explicit rights.
enum class AceMode { Set, Grant, Deny, Revoke };

struct AceRequest {
    std::string trustee;  // a SID string ("S-1-5-32-545") when trusteeIsSid, else an account name
    bool trusteeIsSid = false;
    AclPermission permission = AclPermission::Full;
    AceMode mode = AceMode::Set;
};

// What to do to one registry key. Whatever order the text names the actions in, the clearing
// comes first and the entries are added to what is left.
struct AclRequest {
    Hive root = Hive::LocalMachine;
    std::string subkey;  // below the root; never empty
    // "-ot reg": the key as this program sees it; "-ot reg64": the key in the 64-bit view.
    RegistryView view = RegistryView::Own;
    bool clearDacl = false;
    bool clearSacl = false;
    std::vector<AceRequest> aces;
};

struct AclParseResult {
    bool ok = false;
    AclRequest request;  // meaningful only when ok
    std::string error;   // why the text was rejected
};

AclParseResult parseAclCommand(const std::string& text);

// "S-" revision "-" authority ("-" sub-authority){0..15}, all decimal.
bool isSidText(const std::string& text);

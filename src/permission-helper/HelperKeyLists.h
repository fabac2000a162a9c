#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "registry/FixedValueTable.h"

// The keys whose permissions the helper repairs, taken from the key column of the fixed value
// table, and the command text the ACL engine receives for each. Pure text logic.

// Where a class key or a machine key lives, as the ACL engine names objects.
extern const char kClassKeyPrefix[];    // "HKEY_LOCAL_MACHINE\SOFTWARE\CLASSES"
extern const char kMachineKeyPrefix[];  // "HKEY_LOCAL_MACHINE"
// The local Users group, which is given the rights the launcher uses (kKeyChangeRights).
extern const char kUsersGroupSid[];  // "S-1-5-32-545"
// The Administrators group and the system, which keep full control.
extern const char kAdministratorsGroupSid[];  // "S-1-5-32-544"
extern const char kSystemSid[];               // "S-1-5-18"

// The HKEY_CLASSES_ROOT keys, sorted ignoring case, upper-cased and reduced to the key that
// carries the registration (its first component, or two for CLSID, TYPELIB, MIME and
// INTERFACE). A reduced key equal to the one appended just before is left out; a key of one
// component is appended every time it occurs.
std::vector<std::string> classKeySet(const FixedValue* rows, std::size_t count);

// The HKEY_LOCAL_MACHINE keys, sorted the same way and upper-cased; nothing is left out.
std::vector<std::string> machineKeySet(const FixedValue* rows, std::size_t count);

// -on "<prefix>\<key>" followed by the fixed actions: clear the explicit entries of the DACL (an
// earlier grant or a deny that blocks users goes with them), give the Users group "change", and
// Administrators and the system full control, which the cleared entries may have held (with full
// access for Users they held it as members). The SACL, the key's auditing, is not touched.
// For `view` View64 the key is named in the 64-bit view ("-ot reg64").
std::string aclCommandText(const std::string& prefix, const std::string& key, RegistryView view = RegistryView::Own);

// One key the helper repairs: where it lives, as the ACL engine names objects, and its path there.
struct HelperKey {
    std::string prefix;
    std::string key;
    RegistryView view = RegistryView::Own;
};

// Every key the helper repairs, in order: the class key set, the machine key set, then each
// distinct key of the table (upper-cased) that neither set names exactly, class keys first. The
// reduced sets alone leave the keys that are written, such as "ACCESS.APPLICATION\CURVER", with
// their own permissions, since a grant on a key does not reach its subkeys.
std::vector<HelperKey> helperKeys(const FixedValue* rows, std::size_t count);

// On a 64-bit system, what a 64-bit Access's launch writes besides: the keys of the rows under
// the keys WOW64 keeps apart, listed the same way, in the 64-bit view.
std::vector<HelperKey> helperKeys64(const FixedValue* rows, std::size_t count);

// What the helper repairs, in order: helperKeys of the fixed table, then on a 64-bit system its
// helperKeys64 and the key of the "win64" object library path.
std::vector<HelperKey> repairedKeys(bool wow64System);

// Orders as _stricmp does: both characters folded to lower case.
bool lessIgnoringCase(const std::string& a, const std::string& b);

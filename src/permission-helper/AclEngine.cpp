#include "permission-helper/AclEngine.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "base/UniqueHandle.h"
#include "registry/RegistryRoot.h"

namespace {

// An ACL built here: DWORD elements keep it aligned as the security functions require.
using AclBuffer = std::vector<DWORD>;

AclResult failure(AclOutcome outcome, const std::string& what, DWORD code) {
    return {outcome, what + " (error " + std::to_string(code) + ")"};
}

// Reading or writing a SACL needs the security privilege, which administrators hold but which
// is not enabled in their token by default.
void enableSecurityPrivilege() {
    static bool done = false;
    if (done)
        return;
    done = true;
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

// A copy of the list holding only its inherited entries; a missing list gives an empty one.
bool inheritedEntriesOnly(PACL source, AclBuffer& buffer) {
    std::vector<ACE_HEADER*> kept;
    DWORD size = sizeof(ACL);
    BYTE revision = ACL_REVISION;
    if (source) {
        revision = source->AclRevision;
        ACL_SIZE_INFORMATION info = {};
        if (!GetAclInformation(source, &info, sizeof(info), AclSizeInformation))
            return false;
        for (DWORD i = 0; i < info.AceCount; ++i) {
            void* entry = nullptr;
            if (!GetAce(source, i, &entry))
                return false;
            auto* header = static_cast<ACE_HEADER*>(entry);
            if (header->AceFlags & INHERITED_ACE) {
                kept.push_back(header);
                size += header->AceSize;
            }
        }
    }
    buffer.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto* acl = reinterpret_cast<PACL>(buffer.data());
    if (!InitializeAcl(acl, static_cast<DWORD>(buffer.size() * sizeof(DWORD)), revision))
        return false;
    for (ACE_HEADER* header : kept)
        if (!AddAce(acl, revision, MAXDWORD, header, header->AceSize))
            return false;
    return true;
}

ACCESS_MODE accessMode(AceMode mode) {
    switch (mode) {
    case AceMode::Set:
        return SET_ACCESS;
    case AceMode::Grant:
        return GRANT_ACCESS;
    case AceMode::Deny:
        return DENY_ACCESS;
    case AceMode::Revoke:
        return REVOKE_ACCESS;
    }
    return SET_ACCESS;
}

DWORD accessMask(AclPermission permission) {
    switch (permission) {
    case AclPermission::Read:
        return KEY_READ;
    case AclPermission::Change:
        return kKeyChangeRights;
    case AclPermission::Full:
        break;
    }
    return KEY_ALL_ACCESS;
}

// The requested entries merged into the list; the result is allocated by the system.
DWORD mergeEntries(const std::vector<AceRequest>& aces, PACL list, UniqueLocalMemory& merged) {
    std::vector<UniqueLocalMemory> sids;
    std::vector<std::string> names;
    names.reserve(aces.size());
    std::vector<EXPLICIT_ACCESS_A> entries(aces.size());
    for (size_t i = 0; i < aces.size(); ++i) {
        EXPLICIT_ACCESS_A& entry = entries[i];
        entry.grfAccessPermissions = accessMask(aces[i].permission);
        entry.grfAccessMode = accessMode(aces[i].mode);
        entry.grfInheritance = NO_INHERITANCE;
        entry.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
        entry.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
        if (aces[i].trusteeIsSid) {
            PSID sid = nullptr;
            if (!ConvertStringSidToSidA(aces[i].trustee.c_str(), &sid))
                return GetLastError();
            sids.emplace_back(sid);
            entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
            entry.Trustee.ptstrName = static_cast<LPSTR>(sid);
        } else {
            names.push_back(aces[i].trustee);
            entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
            entry.Trustee.ptstrName = &names.back()[0];
        }
    }
    PACL result = nullptr;
    DWORD code = SetEntriesInAclA(static_cast<ULONG>(entries.size()), entries.data(), list, &result);
    merged.reset(result);
    return code;
}

}  // namespace

AclResult applyAclRequest(const AclRequest& request) {
    const bool changeDacl = request.clearDacl || !request.aces.empty();
    REGSAM access = READ_CONTROL;
    SECURITY_INFORMATION parts = 0;
    if (changeDacl) {
        access |= WRITE_DAC;
        parts |= DACL_SECURITY_INFORMATION;
    }
    if (request.clearSacl) {
        enableSecurityPrivilege();
        access |= ACCESS_SYSTEM_SECURITY;
        parts |= SACL_SECURITY_INFORMATION;
    }
    if (parts == 0)
        return {AclOutcome::Applied, "Nothing to change"};

    UniqueKey key;
    LONG status =
        RegOpenKeyExA(rootKey(request.root), request.subkey.c_str(), 0, access | viewFlag(request.view), key.put());
    if (status == ERROR_FILE_NOT_FOUND)
        return {AclOutcome::KeyMissing, "No such key: " + request.subkey};
    if (status != ERROR_SUCCESS)
        return failure(AclOutcome::Failed, "Cannot open the key to change its security: " + request.subkey,
                       static_cast<DWORD>(status));

    PACL dacl = nullptr;
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR current = nullptr;
    DWORD code = GetSecurityInfo(key.get(), SE_REGISTRY_KEY, parts, nullptr, nullptr, &dacl, &sacl, &current);
    UniqueLocalMemory currentOwner(current);
    if (code != ERROR_SUCCESS)
        return failure(AclOutcome::Failed, "Cannot read the security of the key", code);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD descriptorRevision = 0;
    GetSecurityDescriptorControl(current, &control, &descriptorRevision);

    AclBuffer clearedDacl, clearedSacl;
    UniqueLocalMemory mergedDacl;
    PACL newDacl = dacl;
    PACL newSacl = sacl;
    if (request.clearDacl) {
        if (!inheritedEntriesOnly(dacl, clearedDacl))
            return failure(AclOutcome::Failed, "Cannot copy the inherited entries of the DACL", GetLastError());
        newDacl = reinterpret_cast<PACL>(clearedDacl.data());
    }
    if (!request.aces.empty()) {
        code = mergeEntries(request.aces, newDacl, mergedDacl);
        if (code != ERROR_SUCCESS)
            return failure(AclOutcome::Failed, "Cannot add the entries to the DACL", code);
        newDacl = static_cast<PACL>(mergedDacl.get());
    }
    if (request.clearSacl) {
        if (!inheritedEntriesOnly(sacl, clearedSacl))
            return failure(AclOutcome::Failed, "Cannot copy the inherited entries of the SACL", GetLastError());
        newSacl = reinterpret_cast<PACL>(clearedSacl.data());
    }

    // Written in one call, so the key never holds a half-changed descriptor; the protection and
    // auto-inheritance bits are carried over as they were.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SECURITY_DESCRIPTOR_CONTROL carried = 0;
    if (changeDacl) {
        SetSecurityDescriptorDacl(&descriptor, TRUE, newDacl, FALSE);
        carried |= SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED;
    }
    if (request.clearSacl) {
        SetSecurityDescriptorSacl(&descriptor, TRUE, newSacl, FALSE);
        carried |= SE_SACL_AUTO_INHERITED | SE_SACL_PROTECTED;
    }
    SetSecurityDescriptorControl(&descriptor, carried, control & carried);
    status = RegSetKeySecurity(key.get(), parts, &descriptor);
    if (status != ERROR_SUCCESS)
        return failure(AclOutcome::Failed, "Cannot write the security of the key", static_cast<DWORD>(status));
    return {AclOutcome::Applied, "Applied to " + request.subkey};
}

AclResult applyAclCommand(const std::string& commandText) {
    AclParseResult parsed = parseAclCommand(commandText);
    if (!parsed.ok)
        return {AclOutcome::Rejected, parsed.error};
    return applyAclRequest(parsed.request);
}

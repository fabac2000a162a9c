// Any command text either parses into a request the ACL engine can act on, or is rejected with
// a reason. A parsed request, written back as text, parses to the same request; every key the
// helper's own command text names parses back to that key.
#include <cstddef>
#include <cstdint>
#include <string>

#include "permission-helper/AclCommand.h"
#include "permission-helper/HelperKeyLists.h"

namespace {

bool hasControl(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

const char* permissionText(AclPermission permission) {
    switch (permission) {
    case AclPermission::Full:
        return "full";
    case AclPermission::Read:
        return "read";
    case AclPermission::Change:
        return "change";
    }
    return "";
}

const char* modeText(AceMode mode) {
    switch (mode) {
    case AceMode::Set:
        return "set";
    case AceMode::Grant:
        return "grant";
    case AceMode::Deny:
        return "deny";
    case AceMode::Revoke:
        return "revoke";
    }
    return "";
}

std::string textOf(const AclRequest& request) {
    std::string text = "-on \"" + std::string(hiveText(request.root)) + "\\" + request.subkey + "\" -ot reg";
    if (!request.aces.empty()) {
        text += " -actn ace";
        for (const AceRequest& ace : request.aces)
            text += std::string(" -ace \"n:") + ace.trustee + ";p:" + permissionText(ace.permission) +
                    ";s:" + (ace.trusteeIsSid ? "y" : "n") + ";m:" + modeText(ace.mode) + "\"";
    }
    if (request.clearDacl || request.clearSacl) {
        text += " -actn clear -clr \"";
        text += request.clearDacl && request.clearSacl ? "dacl,sacl" : request.clearDacl ? "dacl" : "sacl";
        text += "\"";
    }
    return text;
}

bool sameRequest(const AclRequest& a, const AclRequest& b) {
    if (a.root != b.root || a.subkey != b.subkey || a.clearDacl != b.clearDacl || a.clearSacl != b.clearSacl ||
        a.aces.size() != b.aces.size())
        return false;
    for (size_t i = 0; i < a.aces.size(); ++i)
        if (a.aces[i].trustee != b.aces[i].trustee || a.aces[i].trusteeIsSid != b.aces[i].trusteeIsSid ||
            a.aces[i].permission != b.aces[i].permission || a.aces[i].mode != b.aces[i].mode)
            return false;
    return true;
}

// A key name the helper could be given: components that are not empty, no quote, no control.
bool isPlainKey(const std::string& key) {
    if (key.empty() || key.front() == '\\' || key.back() == '\\' || key.find("\\\\") != std::string::npos)
        return false;
    return key.find('"') == std::string::npos && !hasControl(key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const AclParseResult result = parseAclCommand(text);
    isSidText(text);

    if (!result.ok) {
        if (result.error.empty())
            __builtin_trap();
    } else {
        const AclRequest& request = result.request;
        if (request.subkey.empty() || hasControl(request.subkey) || request.subkey.front() == '\\' ||
            request.subkey.back() == '\\' || request.subkey.find("\\\\") != std::string::npos)
            __builtin_trap();
        if (request.aces.empty() && !request.clearDacl && !request.clearSacl)
            __builtin_trap();
        for (const AceRequest& ace : request.aces)
            if (ace.trustee.empty() || hasControl(ace.trustee) || (ace.trusteeIsSid && !isSidText(ace.trustee)))
                __builtin_trap();
        // Trustees holding ';' or '"' cannot be written back as text; the rest must round-trip.
        bool writable = true;
        for (const AceRequest& ace : request.aces)
            writable = writable && ace.trustee.find_first_of(";\"") == std::string::npos;
        if (writable && request.subkey.find('"') == std::string::npos) {
            const AclParseResult again = parseAclCommand(textOf(request));
            if (!again.ok || !sameRequest(again.request, request))
                __builtin_trap();
        }
    }

    // The helper's own text for a key below either prefix parses back to exactly that key.
    if (isPlainKey(text)) {
        for (const char* prefix : {kClassKeyPrefix, kMachineKeyPrefix}) {
            const AclParseResult own = parseAclCommand(aclCommandText(prefix, text));
            const std::string expected = std::string(prefix) == kMachineKeyPrefix ? text : "SOFTWARE\\CLASSES\\" + text;
            if (!own.ok || own.request.root != Hive::LocalMachine || own.request.subkey != expected ||
                !own.request.clearDacl || own.request.clearSacl || own.request.aces.size() != 3 ||
                own.request.aces[0].trustee != kUsersGroupSid || !own.request.aces[0].trusteeIsSid ||
                own.request.aces[0].permission != AclPermission::Change)
                __builtin_trap();
        }
    }
    return 0;
}

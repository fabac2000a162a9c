#include "environment/TrustVerdict.h"

#include "base/AsciiCase.h"
#include "base/PathText.h"
#include "environment/TrustedLocationText.h"

const TrustPolicyRule kTrustPolicyRules[kTrustPolicyRuleCount] = {
    {"Access", "AllLocationsDisabled", true, false, false, "Office policy disables every trusted location"},
    {"Common", "Allow User Locations", false, false, true,
     "Office policy lets only trusted locations set by policy count"},
    {"Access", "AllowNetworkLocations", false, true, false,
     "Office policy bars trusted locations on the network, even those set by policy"},
};

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "X:" at the start of the text: the drive's root, else "".
std::string driveRootOf(const std::string& text) {
    if (text.size() >= 2 && isDriveLetter(text[0]) && text[1] == ':')
        return text.substr(0, 2) + "\\";
    return std::string();
}

}  // namespace

bool onNetwork(FolderKind kind) {
    return kind != FolderKind::Local;
}

const char* folderKindText(FolderKind kind) {
    switch (kind) {
    case FolderKind::NetworkShare:
        return "network share";
    case FolderKind::NetworkDrive:
        return "mapped network drive";
    case FolderKind::Local:
        break;
    }
    return "local folder";
}

FolderPlace placeOfFolder(const std::string& folder) {
    FolderPlace place;
    if (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1])) {
        // \\?\ and \\.\ name devices and local paths; only their UNC form is a share.
        if (folder.size() >= 4 && (folder[2] == '?' || folder[2] == '.') && isSeparator(folder[3])) {
            const std::string rest = folder.substr(4);
            if (rest.size() > 4 && equalsIgnoringAsciiCase(rest.substr(0, 3), "UNC") && isSeparator(rest[3]))
                place.unc = true;
            else
                place.driveRoot = driveRootOf(rest);
            return place;
        }
        place.unc = folder.size() > 2 && !isSeparator(folder[2]);
        return place;
    }
    place.driveRoot = driveRootOf(folder);
    return place;
}

std::string trustPolicyKey(const std::string& officeVersion, const char* area) {
    return "Software\\Policies\\Microsoft\\Office\\" + officeVersion + "\\" + area + "\\Security\\Trusted Locations";
}

bool locationCoversFolder(const std::string& locationPath, bool allowSubfolders, const std::string& folder) {
    if (sameTrustedFolder(locationPath, folder))
        return true;
    const std::string above = ensureTrailingBackslash(locationPath);
    return allowSubfolders && folder.size() > above.size() &&
           equalsIgnoringAsciiCase(folder.substr(0, above.size()), above);
}

TrustVerdict decideTrust(FolderKind kind, const TrustPolicy& policy) {
    TrustVerdict verdict;
    verdict.kind = kind;
    for (int i = 0; i < kTrustPolicyRuleCount; ++i) {
        const TrustPolicyRule& rule = kTrustPolicyRules[i];
        const PolicyReading& reading = policy.values[i];
        if (!reading.present || (rule.networkOnly && !onNetwork(kind)) ||
            (rule.policyLocationsCount && policy.folderSetByPolicy))
            continue;
        if ((reading.number != 0) != rule.voidsWhenNonZero)
            continue;
        verdict.voided = true;
        verdict.rule = i;
        verdict.policyValue = reading.where + " = " + std::to_string(reading.number);
        break;
    }
    return verdict;
}

std::string trustVoidedLine(int edition, const std::string& folder, const TrustVerdict& verdict) {
    if (!verdict.voided)
        return std::string();
    return std::to_string(edition) + " - The trusted location " + folder + " has no effect: " + verdict.policyValue +
           ": " + kTrustPolicyRules[verdict.rule].meaning + ". Access opens databases there with their code disabled.";
}

std::string networkLocationsLine(int edition, const std::string& folder, FolderKind kind, bool written,
                                 const std::string& errorText) {
    const std::string start = std::to_string(edition) + " - " + folder + " is on a " + folderKindText(kind) + ": ";
    if (!written)
        return start + "trusted locations on the network are allowed already";
    if (!errorText.empty())
        return start + "AllowNetworkLocations could not be set (" + errorText +
               "), so Access ignores the trusted location";
    return start + "trusted locations on the network allowed (AllowNetworkLocations = 1)";
}

#pragma once
#include <cstdint>
#include <string>

// Whether a trusted location a launch registers takes effect: Access ignores one on the network
// unless network locations are allowed, and Office policy can void it. These are the rules as
// plain text and numbers; TrustAssessment reads the registry and the drive for them.

enum class FolderKind {
    Local,
    NetworkShare,  // a UNC path, \\server\share\...
    NetworkDrive,  // on a drive the system reports as remote (a mapped drive)
};
bool onNetwork(FolderKind kind);
// "local folder", "network share", "mapped network drive".
const char* folderKindText(FolderKind kind);

// What the text alone says about a folder: a UNC path (also \\?\UNC\...; never another \\?\ or
// \\.\ path), or else the root ("N:\") of the drive whose type decides, or "" when it names none.
struct FolderPlace {
    bool unc = false;
    std::string driveRoot;
};
FolderPlace placeOfFolder(const std::string& folder);

// The Office policy values that void a user's trusted location, in the order they are judged.
// area is the part of the Office key ("Access" or "Common") that holds "Security\Trusted Locations".
struct TrustPolicyRule {
    const char* area;
    const char* valueName;
    bool voidsWhenNonZero;      // else it voids when 0
    bool networkOnly;           // judged only for a folder on the network
    bool policyLocationsCount;  // a location set by policy still counts under it
    const char* meaning;
};
constexpr int kTrustPolicyRuleCount = 3;
extern const TrustPolicyRule kTrustPolicyRules[kTrustPolicyRuleCount];

// "Software\Policies\Microsoft\Office\16.0\Access\Security\Trusted Locations", under HKEY_CURRENT_USER
// and HKEY_LOCAL_MACHINE; officeVersion as the edition table writes it.
std::string trustPolicyKey(const std::string& officeVersion, const char* area);

// One policy value as found: the first of HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE that holds it
// as a number. `where` names the hive, key and value, as the log line shows it.
struct PolicyReading {
    bool present = false;
    std::uint32_t number = 0;
    std::string where;
};

struct TrustPolicy {
    PolicyReading values[kTrustPolicyRuleCount];  // in the order of kTrustPolicyRules
    bool folderSetByPolicy = false;               // a trusted location set by policy covers the folder
};

// A location set by policy covers the folder when its "Path" names it, or a folder above it and
// it allows subfolders.
bool locationCoversFolder(const std::string& locationPath, bool allowSubfolders, const std::string& folder);

struct TrustVerdict {
    FolderKind kind = FolderKind::Local;
    bool voided = false;
    int rule = -1;            // the rule of kTrustPolicyRules that voids it, or -1
    std::string policyValue;  // "HKEY_LOCAL_MACHINE\...\Trusted Locations [AllLocationsDisabled] = 1"
};
TrustVerdict decideTrust(FolderKind kind, const TrustPolicy& policy);

// The log line of a voided location: the folder, the policy value and what it means.
std::string trustVoidedLine(int edition, const std::string& folder, const TrustVerdict& verdict);

// The log line of a folder on the network: AllowNetworkLocations written (or not, with the
// system's reason in errorText), or found set already.
std::string networkLocationsLine(int edition, const std::string& folder, FolderKind kind, bool written,
                                 const std::string& errorText);

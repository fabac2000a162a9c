#include "registry/Wow64Redirection.h"

#include "base/AsciiCase.h"

namespace {

struct Wow64Rule {
    const char* key;  // under HKEY_LOCAL_MACHINE
    bool redirected;
};

// The most specific rule that covers a key decides.
const Wow64Rule kMachineRules[] = {
    {"SOFTWARE", true},
    {"SOFTWARE\\Classes", false},
    {"SOFTWARE\\Classes\\CLSID", true},
    {"SOFTWARE\\Classes\\DirectShow", true},
    {"SOFTWARE\\Classes\\Interface", true},
    {"SOFTWARE\\Classes\\Media Type", true},
    {"SOFTWARE\\Classes\\MediaFoundation", true},
    {"SOFTWARE\\Clients", false},
    {"SOFTWARE\\Microsoft\\COM3", false},
    {"SOFTWARE\\Microsoft\\Cryptography\\Calais\\Current", false},
    {"SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers", false},
    {"SOFTWARE\\Microsoft\\Cryptography\\Services", false},
    {"SOFTWARE\\Microsoft\\CTF\\SystemShared", false},
    {"SOFTWARE\\Microsoft\\CTF\\TIP", false},
    {"SOFTWARE\\Microsoft\\DFS", false},
    {"SOFTWARE\\Microsoft\\Driver Signing", false},
    {"SOFTWARE\\Microsoft\\EnterpriseCertificates", false},
    {"SOFTWARE\\Microsoft\\EventSystem", false},
    {"SOFTWARE\\Microsoft\\MSMQ", false},
    {"SOFTWARE\\Microsoft\\Non-Driver Signing", false},
    {"SOFTWARE\\Microsoft\\Notepad\\DefaultFonts", false},
    {"SOFTWARE\\Microsoft\\OLE", false},
    {"SOFTWARE\\Microsoft\\RAS", false},
    {"SOFTWARE\\Microsoft\\RPC", false},
    {"SOFTWARE\\Microsoft\\Shared Tools\\MSInfo", false},
    {"SOFTWARE\\Microsoft\\SystemCertificates", false},
    {"SOFTWARE\\Microsoft\\TermServLicensing", false},
    {"SOFTWARE\\Microsoft\\Transaction Server", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Console", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontLink", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\LanguagePack", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones", false},
    {"SOFTWARE\\Policies", false},
    {"SOFTWARE\\RegisteredApplications", false},
};

// The class keys kept apart, under HKEY_CLASSES_ROOT and each user's Software\Classes.
const char* const kRedirectedClassKeys[] = {"CLSID", "DirectShow", "Interface", "Media Type", "MediaFoundation"};

std::string withoutLeadingBackslashes(const std::string& key) {
    const std::string::size_type start = key.find_first_not_of('\\');
    return start == std::string::npos ? std::string() : key.substr(start);
}

// The key is `base` itself or lies below it.
bool isAtOrBelow(const std::string& key, const std::string& base) {
    if (key.size() < base.size() || !equalsIgnoringAsciiCase(key.substr(0, base.size()), base))
        return false;
    return key.size() == base.size() || key[base.size()] == '\\';
}

bool isRedirectedClassKey(const std::string& classesKey) {
    for (const char* name : kRedirectedClassKeys)
        if (isAtOrBelow(classesKey, name))
            return true;
    return false;
}

// A key under a user's root: its Software\Classes keeps the class keys apart, nothing else does.
bool isRedirectedUserKey(const std::string& key) {
    const std::string classes = "Software\\Classes";
    return isAtOrBelow(key, classes) && key.size() > classes.size() &&
           isRedirectedClassKey(key.substr(classes.size() + 1));
}

bool isRedirectedMachineKey(const std::string& key) {
    std::string::size_type longest = 0;
    bool redirected = false;
    for (const Wow64Rule& rule : kMachineRules) {
        const std::string base = rule.key;
        if (base.size() >= longest && isAtOrBelow(key, base)) {
            longest = base.size();
            redirected = rule.redirected;
        }
    }
    return redirected;
}

bool endsWithIgnoringCase(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && equalsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

bool isRedirectedByWow64(Hive hive, const std::string& key) {
    const std::string path = withoutLeadingBackslashes(key);
    switch (hive) {
    case Hive::ClassesRoot:
        return isRedirectedClassKey(path);
    case Hive::CurrentUser:
        return isRedirectedUserKey(path);
    case Hive::LocalMachine:
        return isRedirectedMachineKey(path);
    case Hive::Users: {
        // "<user>\Software\Classes\..." or the user's own classes root "<user>_Classes\...".
        const std::string::size_type slash = path.find('\\');
        if (slash == std::string::npos)
            return false;
        const std::string user = path.substr(0, slash);
        const std::string rest = path.substr(slash + 1);
        return endsWithIgnoringCase(user, "_Classes") ? isRedirectedClassKey(rest) : isRedirectedUserKey(rest);
    }
    }
    return false;
}

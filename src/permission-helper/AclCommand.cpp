#include "permission-helper/AclCommand.h"

#include <cstdint>

#include "base/AsciiCase.h"

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

constexpr unsigned kMaxSubAuthorities = 15;

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Control characters (a NUL above all) would make the key name the Windows layer sees differ
// from the one that was checked here.
bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// Splits at blanks; a token in double quotes may hold blanks and must end in its own quote.
bool tokenize(const std::string& text, std::vector<Token>& tokens, std::string& error) {
    size_t i = 0;
    while (true) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        if (i >= text.size())
            return true;
        Token token;
        if (text[i] == '"') {
            token.quoted = true;
            size_t close = text.find('"', i + 1);
            if (close == std::string::npos) {
                error = "Unterminated quoted text";
                return false;
            }
            token.text = text.substr(i + 1, close - i - 1);
            i = close + 1;
            if (i < text.size() && !isSeparator(text[i])) {
                error = "Text directly after a closing quote";
                return false;
            }
        } else {
            size_t start = i;
            while (i < text.size() && !isSeparator(text[i])) {
                if (text[i] == '"') {
                    error = "Quote inside unquoted text";
                    return false;
                }
                ++i;
            }
            token.text = text.substr(start, i - start);
        }
        for (char c : token.text) {
            if (isControl(c)) {
                error = "Control character in command text";
                return false;
            }
        }
        tokens.push_back(std::move(token));
    }
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

bool parseObjectName(const std::string& name, AclRequest& request, std::string& error) {
    size_t slash = name.find('\\');
    std::string rootText = name.substr(0, slash);
    Hive root;
    if (!hiveFromName(rootText, root)) {
        error = "Object name does not start with a registry root: " + name;
        return false;
    }
    if (slash == std::string::npos || slash + 1 == name.size()) {
        error = "Object name names no key below the root: " + name;
        return false;
    }
    std::string subkey = name.substr(slash + 1);
    for (const auto& component : split(subkey, '\\')) {
        if (component.empty()) {
            error = "Object name has an empty key component: " + name;
            return false;
        }
    }
    request.root = root;
    request.subkey = subkey;
    return true;
}

bool parseDigits(const std::string& text, uint64_t limit, uint64_t& value) {
    if (text.empty() || text.size() > 20)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit)
            return false;
    }
    return true;
}

bool parseAce(const std::string& text, AceRequest& ace, std::string& error) {
    bool haveName = false, havePermission = false, haveSidFlag = false, haveMode = false;
    for (const auto& item : split(text, ';')) {
        size_t colon = item.find(':');
        if (colon == std::string::npos || colon == 0) {
            error = "Entry item is not of the form key:value: \"" + item + "\"";
            return false;
        }
        std::string key = item.substr(0, colon);
        std::string value = item.substr(colon + 1);
        if (equalsIgnoringAsciiCase(key, "n")) {
            if (haveName || value.empty()) {
                error = haveName ? "Trustee given twice" : "Empty trustee";
                return false;
            }
            haveName = true;
            ace.trustee = value;
        } else if (equalsIgnoringAsciiCase(key, "p")) {
            if (havePermission) {
                error = "Permission given twice";
                return false;
            }
            havePermission = true;
            if (equalsIgnoringAsciiCase(value, "full"))
                ace.permission = AclPermission::Full;
            else if (equalsIgnoringAsciiCase(value, "read"))
                ace.permission = AclPermission::Read;
            else if (equalsIgnoringAsciiCase(value, "change"))
                ace.permission = AclPermission::Change;
            else {
                error = "Unknown permission: " + value;
                return false;
            }
        } else if (equalsIgnoringAsciiCase(key, "s")) {
            if (haveSidFlag) {
                error = "SID flag given twice";
                return false;
            }
            haveSidFlag = true;
            if (equalsIgnoringAsciiCase(value, "y"))
                ace.trusteeIsSid = true;
            else if (equalsIgnoringAsciiCase(value, "n"))
                ace.trusteeIsSid = false;
            else {
                error = "SID flag must be y or n: " + value;
                return false;
            }
        } else if (equalsIgnoringAsciiCase(key, "m")) {
            if (haveMode) {
                error = "Mode given twice";
                return false;
            }
            haveMode = true;
            if (equalsIgnoringAsciiCase(value, "set"))
                ace.mode = AceMode::Set;
            else if (equalsIgnoringAsciiCase(value, "grant"))
                ace.mode = AceMode::Grant;
            else if (equalsIgnoringAsciiCase(value, "deny"))
                ace.mode = AceMode::Deny;
            else if (equalsIgnoringAsciiCase(value, "revoke"))
                ace.mode = AceMode::Revoke;
            else {
                error = "Unknown mode: " + value;
                return false;
            }
        } else {
            error = "Unknown entry item: " + key;
            return false;
        }
    }
    if (!haveName) {
        error = "Entry names no trustee";
        return false;
    }
    if (!havePermission && ace.mode != AceMode::Revoke) {
        error = "Entry names no permission";
        return false;
    }
    if (ace.trusteeIsSid && !isSidText(ace.trustee)) {
        error = "Trustee is not a SID: " + ace.trustee;
        return false;
    }
    return true;
}

bool parseClearList(const std::string& text, AclRequest& request, std::string& error) {
    for (const auto& item : split(text, ',')) {
        if (equalsIgnoringAsciiCase(item, "dacl"))
            request.clearDacl = true;
        else if (equalsIgnoringAsciiCase(item, "sacl"))
            request.clearSacl = true;
        else {
            error = "Unknown list to clear: \"" + item + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace

bool isSidText(const std::string& text) {
    if (text.size() < 2 || text[0] != 'S' || text[1] != '-')
        return false;
    std::vector<std::string> parts = split(text.substr(2), '-');
    if (parts.size() < 2 || parts.size() - 2 > kMaxSubAuthorities)
        return false;
    uint64_t value = 0;
    if (!parseDigits(parts[0], 255, value))
        return false;
    if (!parseDigits(parts[1], (uint64_t{1} << 48) - 1, value))
        return false;
    for (size_t i = 2; i < parts.size(); ++i)
        if (!parseDigits(parts[i], 0xFFFFFFFFu, value))
            return false;
    return true;
}

AclParseResult parseAclCommand(const std::string& text) {
    AclParseResult result;
    std::vector<Token> tokens;
    if (!tokenize(text, tokens, result.error))
        return result;
    if (tokens.empty()) {
        result.error = "Empty command";
        return result;
    }

    AclRequest request;
    bool haveObject = false, haveType = false, actionAce = false, actionClear = false, haveClearList = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& option = tokens[i];
        if (option.quoted || option.text.empty() || option.text[0] != '-') {
            result.error = "Expected an option but found: " + option.text;
            return result;
        }
        // Every option takes one value; an unquoted word starting with "-" is the next option.
        if (i + 1 >= tokens.size() || (!tokens[i + 1].quoted && tokens[i + 1].text[0] == '-')) {
            result.error = "Option " + option.text + " needs a value";
            return result;
        }
        const std::string& value = tokens[++i].text;
        if (equalsIgnoringAsciiCase(option.text, "-on")) {
            if (haveObject) {
                result.error = "Object name given twice";
                return result;
            }
            haveObject = true;
            if (!parseObjectName(value, request, result.error))
                return result;
        } else if (equalsIgnoringAsciiCase(option.text, "-ot")) {
            if (haveType) {
                result.error = "Object type given twice";
                return result;
            }
            haveType = true;
            if (equalsIgnoringAsciiCase(value, "reg64")) {
                request.view = RegistryView::View64;
            } else if (!equalsIgnoringAsciiCase(value, "reg")) {
                result.error = "Unsupported object type: " + value;
                return result;
            }
        } else if (equalsIgnoringAsciiCase(option.text, "-actn")) {
            if (equalsIgnoringAsciiCase(value, "ace"))
                actionAce = true;
            else if (equalsIgnoringAsciiCase(value, "clear"))
                actionClear = true;
            else {
                result.error = "Unknown action: " + value;
                return result;
            }
        } else if (equalsIgnoringAsciiCase(option.text, "-ace")) {
            AceRequest ace;
            if (!parseAce(value, ace, result.error))
                return result;
            request.aces.push_back(ace);
        } else if (equalsIgnoringAsciiCase(option.text, "-clr")) {
            haveClearList = true;
            if (!parseClearList(value, request, result.error))
                return result;
        } else {
            result.error = "Unknown option: " + option.text;
            return result;
        }
    }

    if (!haveObject)
        result.error = "No object name (-on)";
    else if (!haveType)
        result.error = "No object type (-ot)";
    else if (!actionAce && !actionClear)
        result.error = "No action (-actn)";
    else if (actionAce != !request.aces.empty())
        result.error = actionAce ? "Action ace without an entry (-ace)" : "Entry (-ace) without action ace";
    else if (actionClear != haveClearList)
        result.error = actionClear ? "Action clear without a list (-clr)" : "List (-clr) without action clear";
    if (!result.error.empty())
        return result;

    result.ok = true;
    result.request = std::move(request);
    return result;
}

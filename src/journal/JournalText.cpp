#include "journal/JournalText.h"

#include "base/Crc32.h"

namespace {

const char kFirstLine[] = "Mallowbrook journal 1";
const char kDigits[] = "0123456789abcdef";
const Hive kHives[] = {Hive::ClassesRoot, Hive::CurrentUser, Hive::LocalMachine, Hive::Users};

// Key and value names may hold tabs and line feeds; hexadecimal keeps every field on its line.
void appendHex(std::string& text, const std::string& bytes) {
    const size_t start = text.size();
    text.resize(start + bytes.size() * 2);
    char* out = &text[0] + start;
    for (unsigned char byte : bytes) {
        *out++ = kDigits[byte >> 4];
        *out++ = kDigits[byte & 15];
    }
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool unhex(const std::string& text, std::string& bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = digitValue(text[i]);
        const int low = digitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high << 4 | low);
    }
    return true;
}

// Plain decimal, no sign, no leading zeros beyond "0", within `limit`.
bool parseNumber(const std::string& text, std::uint64_t limit, std::uint64_t& number) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0'))
        return false;
    number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (number > (limit - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    return true;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

void appendState(std::string& text, const JournalState& state) {
    if (!state.present) {
        text += '-';
        return;
    }
    text += std::to_string(state.type);
    text += '/';
    appendHex(text, state.bytes);
}

bool parseState(const std::string& text, JournalState& state) {
    state = JournalState();
    if (text == "-")
        return true;
    const size_t slash = text.find('/');
    std::uint64_t type = 0;
    if (slash == std::string::npos || !parseNumber(text.substr(0, slash), 0xFFFFFFFFu, type))
        return false;
    state.present = true;
    state.type = static_cast<std::uint32_t>(type);
    return unhex(text.substr(slash + 1), state.bytes);
}

bool parseHive(const std::string& text, Hive& hive) {
    for (Hive candidate : kHives)
        if (text == hiveText(candidate)) {
            hive = candidate;
            return true;
        }
    return false;
}

std::string checkLine(std::uint64_t count, std::uint32_t checksum) {
    std::string sum;
    for (int shift = 28; shift >= 0; shift -= 4)
        sum += kDigits[(checksum >> shift) & 15];
    return "check\t" + std::to_string(count) + "\t" + sum + "\n";
}

}  // namespace

std::string formatJournal(const Journal& journal) {
    std::string text = std::string(kFirstLine) + "\n";
    text += "launcher\t" + std::to_string(journal.processId) + "\t" + std::to_string(journal.started) + "\t" +
            std::to_string(journal.recordedAt) + "\t" + (journal.switchDone ? "switched" : "recorded") + "\n";
    size_t estimate = text.size() + 32;
    for (const JournalEntry& entry : journal.entries)
        estimate += 64 + 2 * (entry.key.size() + entry.valueName.size() + entry.recorded.bytes.size() +
                              entry.switchedTo.bytes.size());
    text.reserve(estimate);
    for (const JournalEntry& entry : journal.entries) {
        text += "value\t";
        text += hiveText(entry.hive);
        text += '\t';
        appendHex(text, entry.key);
        text += '\t';
        appendHex(text, entry.valueName);
        text += '\t';
        appendState(text, entry.recorded);
        text += '\t';
        appendState(text, journal.switchDone ? entry.switchedTo : JournalState());
        if (entry.view == RegistryView::View64)
            text += "\t64";
        text += '\n';
    }
    return text + checkLine(journal.entries.size(), crc32(text));
}

bool parseJournal(const std::string& text, Journal& result, std::string& reason) {
    result = Journal();
    Journal journal;
    // The check line closes the journal: without it, or with another count or sum, it was cut or altered.
    const size_t lastStart = text.size() >= 2 ? text.rfind('\n', text.size() - 2) : std::string::npos;
    if (text.empty() || text.back() != '\n' || lastStart == std::string::npos) {
        reason = "it is incomplete";
        return false;
    }
    const std::string body = text.substr(0, lastStart + 1);
    const std::vector<std::string> check = splitTabs(text.substr(lastStart + 1, text.size() - lastStart - 2));
    std::uint64_t count = 0;
    if (check.size() != 3 || check[0] != "check" || !parseNumber(check[1], 1u << 24, count)) {
        reason = "it is incomplete";
        return false;
    }
    if (text.substr(lastStart + 1) != checkLine(count, crc32(body))) {
        reason = "its checksum does not match";
        return false;
    }

    size_t lineStart = 0;
    auto nextLine = [&body, &lineStart](std::string& line) {
        const size_t end = body.find('\n', lineStart);
        if (end == std::string::npos)
            return false;
        line = body.substr(lineStart, end - lineStart);
        lineStart = end + 1;
        return true;
    };
    std::string line;
    if (!nextLine(line) || line != kFirstLine) {
        reason = "it is not a journal of this version";
        return false;
    }
    std::uint64_t number = 0;
    if (!nextLine(line)) {
        reason = "its launcher line is missing";
        return false;
    }
    const std::vector<std::string> launcher = splitTabs(line);
    if (launcher.size() != 5 || launcher[0] != "launcher" || !parseNumber(launcher[1], 0xFFFFFFFFu, number) ||
        !parseNumber(launcher[2], ~std::uint64_t(0), journal.started) ||
        !parseNumber(launcher[3], ~std::uint64_t(0), journal.recordedAt) ||
        (launcher[4] != "switched" && launcher[4] != "recorded")) {
        reason = "its launcher line is malformed";
        return false;
    }
    journal.processId = static_cast<std::uint32_t>(number);
    journal.switchDone = launcher[4] == "switched";
    while (nextLine(line)) {
        const std::vector<std::string> fields = splitTabs(line);
        JournalEntry entry;
        if (fields.size() == 7 && fields[6] == "64")
            entry.view = RegistryView::View64;
        if ((fields.size() != 6 && entry.view != RegistryView::View64) || fields[0] != "value" ||
            !parseHive(fields[1], entry.hive) || !unhex(fields[2], entry.key) || !unhex(fields[3], entry.valueName) ||
            !parseState(fields[4], entry.recorded) || !parseState(fields[5], entry.switchedTo) ||
            (!journal.switchDone && entry.switchedTo.present)) {
            reason = "value line " + std::to_string(journal.entries.size() + 1) + " is malformed";
            return false;
        }
        journal.entries.push_back(std::move(entry));
    }
    if (journal.entries.size() != count) {
        reason = "it holds another number of values than it says";
        return false;
    }
    result = std::move(journal);
    return true;
}

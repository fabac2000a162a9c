#include "launch/ReportText.h"

#include <cstdint>
#include <cstring>

#include "base/AsciiCase.h"
#include "discovery/AccessEditions.h"
#include "discovery/LanguageTable.h"

namespace {

const char kLineEnd[] = "\r\n";
// The keys a type library registers its interfaces under: one summary line, not one per value.
const char kInterfaceKey[] = "Interface\\";

struct TypeName {
    std::uint32_t type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {0, "REG_NONE"},     {1, "REG_SZ"},   {2, "REG_EXPAND_SZ"}, {3, "REG_BINARY"},     {4, "REG_DWORD"},
    {5, "REG_DWORD_BIG_ENDIAN"}, {6, "REG_LINK"}, {7, "REG_MULTI_SZ"}, {11, "REG_QWORD"},
};

std::string typeName(std::uint32_t type) {
    for (const TypeName& row : kTypeNames)
        if (row.type == type)
            return row.name;
    return "type " + std::to_string(type);
}

class Lines {
public:
    void add(const std::string& line) { text_ += line + kLineEnd; }
    void heading(const std::string& title) {
        if (!text_.empty())
            text_ += kLineEnd;
        add(title);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

std::string editionName(int year) {
    const AccessEdition* edition = findAccessEdition(year);
    return edition ? edition->displayName : "Access " + std::to_string(year);
}

// "English (0409)" for a code of the language table; any other text as it is.
std::string languageText(const std::string& language) {
    const auto languages = languageTable();
    for (const LanguageCode& row : *languages)
        if (equalsIgnoringAsciiCase(row.code, language))
            return row.name + " (" + row.code + ")";
    return language;
}

bool comesFrom(const InstalledAccess& access, AccessSource source) {
    const bool clickToRun = access.installedBy.rfind("Click-to-Run", 0) == 0;
    switch (source) {
    case AccessSource::InstallerRuntime:
        return access.runtime && !clickToRun;
    case AccessSource::ClickToRunRuntime:
        return access.runtime && clickToRun;
    case AccessSource::FullProduct:
        return !access.runtime && !clickToRun;
    case AccessSource::ClickToRunFullProduct:
        return !access.runtime && clickToRun;
    case AccessSource::None:
        break;
    }
    return false;
}

std::string accessLine(const InstalledAccess& access) {
    std::string details = access.installedBy;
    if (!access.language.empty())
        details += ", " + languageText(access.language);
    if (!access.exists) {
        details += ", the file is missing";
    } else {
        details += std::string(", ") + executableBitnessText(access.bitness);
        details += access.fileVersion.empty() ? ", no file version" : ", file version " + access.fileVersion;
    }
    return editionName(access.year) + (access.runtime ? " runtime" : " full product") + " (" + details + ")";
}

bool isInterfaceValue(const PlannedChange& change) {
    return change.hive == Hive::ClassesRoot && change.key.size() > std::strlen(kInterfaceKey) &&
           equalsIgnoringAsciiCase(change.key.substr(0, std::strlen(kInterfaceKey)), kInterfaceKey);
}

const char* viewText(const PlannedChange& change) {
    if (!change.viewsApart)
        return "";
    return change.view == RegistryView::View64 ? " (64-bit view)" : " (32-bit view)";
}

const char* afterText(const ReportChange& row) {
    return row.putBack ? "; put back after the launch" : "; stays after the launch";
}

void addAccessSection(Lines& lines, const ReportFacts& facts) {
    lines.heading("2. Every Access on the machine (* the one this shortcut would start)");
    bool marked = false;
    for (const AccessEdition& edition : kAccessEditions) {
        bool any = false;
        for (const InstalledAccess& access : facts.inventory.found) {
            if (access.year != edition.year)
                continue;
            any = true;
            const bool chosen = !marked && !facts.chosenPath.empty() && facts.edition == access.year &&
                                equalsIgnoringAsciiCase(access.path, facts.chosenPath) &&
                                comesFrom(access, facts.chosenSource);
            marked = marked || chosen;
            lines.add(std::string(chosen ? "* " : "  ") + accessLine(access));
            lines.add("    " + access.path);
        }
        if (!any)
            lines.add("  " + std::string(edition.displayName) + ": none");
    }
    for (const std::string& problem : facts.inventory.problems)
        lines.add("  Not looked for: " + problem);
    if (facts.chosenPath.empty())
        lines.add("This shortcut would start none of them.");
    else
        lines.add("This shortcut would start the " + std::string(accessSourceText(facts.chosenSource)) + " of " +
                  editionName(facts.edition) + ": " + accessSourceReason(facts.chosenSource, editionName(facts.edition)) +
                  ".");
}

void addSwitchSection(Lines& lines, const ReportFacts& facts) {
    lines.heading("3. The switch: each value the launch would change, now -> during the launch");
    if (!facts.switchPlanned) {
        lines.add("  Nothing: a launch would not get as far as the switch.");
        return;
    }
    std::size_t unchanged = 0;
    std::size_t interfaces = 0;
    const ReportChange* firstInterface = nullptr;
    for (const ReportChange& row : facts.changes) {
        const PlannedChange& change = row.change;
        if (!change.removesKey && !change.denied && change.now == change.during) {
            ++unchanged;
        } else if (isInterfaceValue(change) && !change.denied) {
            firstInterface = firstInterface ? firstInterface : &row;
            ++interfaces;
        } else {
            lines.add("  " + reportChangeLine(row));
        }
    }
    if (firstInterface)
        lines.add("  HKEY_CLASSES_ROOT\\Interface" + std::string(viewText(firstInterface->change)) + ": " +
                  std::to_string(interfaces) + " values of the object library's interfaces" +
                  afterText(*firstInterface));
    if (facts.changes.empty() || unchanged == facts.changes.size())
        lines.add("  No value changes.");
    if (unchanged > 0)
        lines.add("  " + std::to_string(unchanged) + (unchanged == 1 ? " value" : " values") +
                  " the launch writes already " + (unchanged == 1 ? "holds" : "hold") + " what it writes.");
    if (facts.asksToRepair)
        lines.add("  A write the launch reads back would not stick: it would ask to repair the registry permissions "
                  "(\"Registry Error\").");
    lines.add("  May this user write the keys the launch needs and reads back?");
    bool denied = false;
    for (const ReadBackKey& key : facts.readBack) {
        lines.add("    " + key.key + ": " + (key.problem.empty() ? "yes" : "no (" + key.problem + ")"));
        denied = denied || !key.problem.empty();
    }
    if (denied)
        lines.add("  This user may not write all of them: an administrator must run -OPENKEYS once.");
}

void addTrustSection(Lines& lines, const ReportFacts& facts) {
    lines.heading("4. Trust");
    if (facts.edition < 2007) {
        lines.add("  " + editionName(facts.edition) + " has no trusted locations.");
        return;
    }
    if (!facts.switchPlanned) {
        lines.add("  Nothing: a launch would not get as far as trusting a folder.");
        return;
    }
    if (facts.trust.empty())
        lines.add("  The command line names no database: the launch trusts no folder.");
    for (const ReportTrust& trust : facts.trust) {
        lines.add("  " + trust.folder + (trust.subfolders ? " and its subfolders" : "") +
                  (trust.alreadyTrusted ? ": already a trusted location" : ": made a trusted location by the launch"));
        const TrustVerdict& verdict = trust.verdict;
        lines.add(std::string("    A ") + folderKindText(verdict.kind) +
                  (onNetwork(verdict.kind) ? ": the launch allows trusted locations on the network for the user "
                                             "(AllowNetworkLocations)"
                                           : ""));
        if (verdict.voided && verdict.rule >= 0 && verdict.rule < kTrustPolicyRuleCount)
            lines.add("    Office policy voids it: " + verdict.policyValue + ": " +
                      kTrustPolicyRules[verdict.rule].meaning +
                      ". Access would open the application with its code disabled; a launch ends with exit code 8.");
        else
            lines.add("    Office policy does not void it.");
    }
}

// What -UPDATE would do, as its own rules decide.
std::string frontEndDecisionText(const ReportFrontEnd& frontEnd) {
    switch (frontEnd.verdict) {
    case FrontEndVerdict::MasterUnreachable:
        return frontEnd.facts.copyExists ? "would open the copy as it is, and end with exit code 5"
                                         : "would show that the front-end cannot be copied, and not start Access";
    case FrontEndVerdict::Missing:
        return "would copy the master: the user has no copy yet";
    case FrontEndVerdict::Current:
        return "would not copy: the copy was made from this master as it is now";
    case FrontEndVerdict::CurrentByTime:
        return "would not copy: the copy has no record of its master, and its time is the master's";
    case FrontEndVerdict::MasterChanged:
        return "would copy the master: it changed since the copy was made from it";
    case FrontEndVerdict::OtherMaster:
        return "would copy the master: the copy was made from another one, " + frontEnd.facts.record.master;
    case FrontEndVerdict::Unrecorded:
        break;
    }
    return "would copy the master once: the copy has no record of its master, and another time";
}

std::string fileText(std::uint64_t size, std::uint64_t time) {
    return std::to_string(size) + " bytes, last written " + lastWriteText(time);
}

void addFrontEndSection(Lines& lines, const ReportFacts& facts) {
    const ReportFrontEnd& frontEnd = facts.frontEnd;
    lines.heading("5. The front-end");
    if (!frontEnd.used) {
        lines.add("  Not used: the shortcut has no -WINDOWSPROFILE.");
        return;
    }
    lines.add("  Access opens the profile copy: " + frontEnd.opened);
    if (!frontEnd.noCopy.empty())
        lines.add("  -UPDATE copies nothing: " + frontEnd.noCopy);
    if (!frontEnd.update)
        return;
    const FrontEndFacts& found = frontEnd.facts;
    lines.add("  Master " + found.master + ": " +
              (found.masterFound ? "can be reached, " + fileText(found.masterSize, found.masterTime)
                                 : "cannot be reached (" + frontEnd.masterProblem + ")"));
    std::string copy = "none yet";
    if (found.copyExists)
        copy = "last written " + lastWriteText(found.copyTime) +
               (found.recordFound ? ", made from " + found.record.master + " (" +
                                        fileText(found.record.size, found.record.lastWrite) + ")"
                                  : ", with no record of its master");
    lines.add("  Copy " + frontEnd.copy + ": " + copy);
    lines.add("  The launch " + frontEndDecisionText(frontEnd) + ".");
}

void addLeftoverSection(Lines& lines, const ReportFacts& facts) {
    lines.heading("6. Left over");
    const JournalLeftovers& journals = facts.journals;
    if (journals.journals.empty())
        lines.add("  Journals of interrupted launches: none");
    for (const LeftoverJournal& journal : journals.journals) {
        lines.add("  Journal " + journal.path);
        if (!journal.problem.empty()) {
            lines.add("    " + journal.problem);
            continue;
        }
        lines.add("    Launch started " + journal.started + ", " + std::to_string(journal.values) + " values recorded, " +
                  (journal.switchDone ? "switch done" : "switch not known to be done"));
        if (journal.launcherRunning) {
            lines.add("    Its launcher still runs and puts its values back itself.");
            continue;
        }
        if (journal.dueValues.empty())
            lines.add("    Every value is back: the next launch only removes the journal.");
        else
            lines.add("    The next launch puts back " + std::to_string(journal.dueValues.size()) +
                      (journal.dueValues.size() == 1 ? " value:" : " values:"));
        for (const std::string& value : journal.dueValues)
            lines.add("      " + value);
    }
    if (journals.setAside.empty())
        lines.add("  Damaged journals set aside: none");
    for (const std::string& path : journals.setAside)
        lines.add("  Damaged journal set aside: " + path);
    lines.add("  Capture file " + facts.captureFile + ": " + facts.captureState);
}

}  // namespace

bool reportWouldLaunch(const ReportFacts& facts) {
    return facts.blocker.empty() && !facts.executable.empty();
}

std::string reportValueText(const StoredValue& value) {
    if (!value.present)
        return "(absent)";
    if (value.type == 1 || value.type == 2) {
        const std::string text(value.bytes.c_str(), strnlen(value.bytes.c_str(), value.bytes.size()));
        return "\"" + text + "\"" + (value.type == 2 ? " (REG_EXPAND_SZ)" : "");
    }
    if (value.type == 4 && value.bytes.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = number << 8 | static_cast<unsigned char>(value.bytes[static_cast<std::size_t>(i)]);
        return std::to_string(number);
    }
    return "(" + typeName(value.type) + ", " + std::to_string(value.bytes.size()) + " bytes)";
}

std::string reportChangeLine(const ReportChange& row) {
    const PlannedChange& change = row.change;
    std::string line = std::string(hiveText(change.hive)) + "\\" + change.key + viewText(change);
    if (change.removesKey)
        line += ": the key and its subkeys -> removed";
    else
        line += " [" + (change.valueName.empty() ? std::string("(Default)") : change.valueName) +
                "]: " + reportValueText(change.now) + " -> " + reportValueText(change.during);
    if (change.denied)
        return line + "; this user may not write it: the write would fail";
    return line + afterText(row);
}

std::string reportText(const ReportFacts& facts) {
    Lines lines;
    lines.add("Mallowbrook report, written " + facts.writtenAt + ". Nothing was changed to write it.");
    lines.add("Command line: " + facts.commandLine);

    lines.heading("1. The launcher");
    lines.add("  Mallowbrook " + facts.launcherVersion + " for " + editionName(facts.edition) + ", running from " +
              facts.programPath);
    lines.add("  Windows " + facts.windowsVersion + (facts.windows64 ? ", 64-bit" : ", 32-bit"));
    lines.add("  User " + (facts.user.empty() ? std::string("(unknown)") : facts.user) + ", " + facts.elevation);

    addAccessSection(lines, facts);
    addSwitchSection(lines, facts);
    addTrustSection(lines, facts);
    addFrontEndSection(lines, facts);
    addLeftoverSection(lines, facts);

    lines.heading("7. Verdict");
    if (reportWouldLaunch(facts)) {
        lines.add("A launch would start " + facts.executable);
        lines.add("  with the command line: " + facts.accessCommandLine);
    } else {
        lines.add("A launch would not start Access: " +
                  (facts.blocker.empty() ? std::string("no program to start was chosen") : facts.blocker));
    }
    return lines.text();
}

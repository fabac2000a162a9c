// The text of -REPORT's file, assembled from its facts.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "launch/ReportText.h"

namespace {

StoredValue text(const std::string& value, std::uint32_t type = 1) {
    return StoredValue{true, type, value + '\0'};
}

PlannedChange change(const std::string& key, const std::string& name, StoredValue now, StoredValue during) {
    PlannedChange planned;
    planned.key = key;
    planned.valueName = name;
    planned.now = std::move(now);
    planned.during = std::move(during);
    return planned;
}

// An Access 2002 launch of the full product that switches CurVer.
ReportFacts launchFacts() {
    ReportFacts facts;
    facts.edition = 2002;
    InstalledAccess full;
    full.year = 2002;
    full.installedBy = "shell command";
    full.path = "C:\\Office10\\MSACCESS.EXE";
    full.exists = true;
    full.bitness = ExecutableBitness::Bits32;
    facts.inventory.found = {full};
    facts.chosenPath = "c:\\office10\\msaccess.exe";
    facts.chosenSource = AccessSource::FullProduct;
    facts.switchPlanned = true;
    facts.changes = {{change("Access.Application\\CurVer", "", text("Access.Application.11"),
                             text("Access.Application.10")),
                      true}};
    facts.readBack = {{"HKEY_CLASSES_ROOT\\Access.Application\\CurVer", ""}};
    facts.executable = full.path;
    facts.accessCommandLine = "\"C:\\Apps\\Demo.mdb\"";
    return facts;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(ReportText, ValuesAsTheRegistryHoldsThem) {
    const struct {
        StoredValue value;
        const char* expected;
    } cases[] = {
        {StoredValue(), "(absent)"},
        {text("Access.Application.10"), "\"Access.Application.10\""},
        {text("%SystemRoot%\\x", 2), "\"%SystemRoot%\\x\" (REG_EXPAND_SZ)"},
        {StoredValue{true, 1, "no NUL"}, "\"no NUL\""},
        {StoredValue{true, 4, std::string("\x01\x01\x00\x00", 4)}, "257"},
        {StoredValue{true, 4, std::string("\xff\xff\xff\xff", 4)}, "4294967295"},
        {StoredValue{true, 4, std::string("\x01\x00", 2)}, "(REG_DWORD, 2 bytes)"},
        {StoredValue{true, 3, std::string(12, '\0')}, "(REG_BINARY, 12 bytes)"},
        {StoredValue{true, 99, "x"}, "(type 99, 1 bytes)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportValueText(c.value), c.expected);
}

TEST(ReportText, ChangeLinesNameTheViewAndWhatBecomesOfTheValue) {
    PlannedChange named = change("Software\\X", "UserData", StoredValue(), StoredValue{true, 4, std::string("\1\0\0\0", 4)});
    named.hive = Hive::CurrentUser;
    PlannedChange view64 = change("CLSID\\{A}\\LocalServer32", "", text("a"), text("b"));
    view64.viewsApart = true;
    view64.view = RegistryView::View64;
    PlannedChange view32 = view64;
    view32.view = RegistryView::Own;
    PlannedChange shared64 = view64;
    shared64.viewsApart = false;
    PlannedChange denied = named;
    denied.denied = true;
    PlannedChange removed = change("Access.Application.9\\shell\\open\\ddeexec", "", StoredValue(), StoredValue());
    removed.removesKey = true;
    const struct {
        ReportChange row;
        const char* expected;
    } cases[] = {
        {{named, false}, "HKEY_CURRENT_USER\\Software\\X [UserData]: (absent) -> 1; stays after the launch"},
        {{view64, true},
         "HKEY_CLASSES_ROOT\\CLSID\\{A}\\LocalServer32 (64-bit view) [(Default)]: \"a\" -> \"b\"; put back after the launch"},
        {{view32, true}, "HKEY_CLASSES_ROOT\\CLSID\\{A}\\LocalServer32 (32-bit view) [(Default)]: \"a\" -> \"b\"; put back after the launch"},
        {{shared64, true}, "HKEY_CLASSES_ROOT\\CLSID\\{A}\\LocalServer32 [(Default)]: \"a\" -> \"b\"; put back after the launch"},
        {{denied, true}, "HKEY_CURRENT_USER\\Software\\X [UserData]: (absent) -> 1; this user may not write it: the write would fail"},
        {{removed, false},
         "HKEY_CLASSES_ROOT\\Access.Application.9\\shell\\open\\ddeexec: the key and its subkeys -> removed; stays after the launch"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportChangeLine(c.row), c.expected);
}

TEST(ReportText, SectionsSayWhatTheFactsSay) {
    const PlannedChange unchanged = change("A", "v", text("x"), text("x"));
    const struct {
        const char* what;
        std::function<void(ReportFacts&)> facts;
        const char* part;
        bool present;
    } cases[] = {
        {"chosen marked", nullptr, "* Access 2002 full product (shell command, 32-bit, no file version)\r\n    C:\\Office10", true},
        {"why it is chosen", nullptr,
         "This shortcut would start the full product of Access 2002: there is no runtime of Access 2002, and the full "
         "product that the shell open command names comes next.",
         true},
        {"another edition is not chosen", [](ReportFacts& f) { f.edition = 2003; }, "* Access", false},
        {"kind must match", [](ReportFacts& f) { f.chosenSource = AccessSource::InstallerRuntime; }, "* Access", false},
        {"edition without Access", nullptr, "  Access 2003: none\r\n", true},
        {"missing file", [](ReportFacts& f) { f.inventory.found[0].exists = false; }, "(shell command, the file is missing)", true},
        {"runtime language named", [](ReportFacts& f) { f.inventory.found[0].language = "040C"; }, ", French (040C),", true},
        {"switched value", nullptr,
         "  HKEY_CLASSES_ROOT\\Access.Application\\CurVer [(Default)]: \"Access.Application.11\" -> "
         "\"Access.Application.10\"; put back after the launch\r\n",
         true},
        {"unchanged values counted", [&](ReportFacts& f) { f.changes.push_back({unchanged, true}); f.changes.push_back({unchanged, true}); },
         "  2 values the launch writes already hold what it writes.", true},
        {"unchanged value not listed", [&](ReportFacts& f) { f.changes.push_back({unchanged, true}); }, "HKEY_CLASSES_ROOT\\A [v]", false},
        {"interfaces summed up",
         [](ReportFacts& f) {
             for (const char* id : {"Interface\\{1}", "Interface\\{1}\\TypeLib", "interface\\{2}"})
                 f.changes.push_back({change(id, "", StoredValue(), text("x")), false});
         },
         "  HKEY_CLASSES_ROOT\\Interface: 3 values of the object library's interfaces; stays after the launch", true},
        {"nothing switched", [](ReportFacts& f) { f.changes.clear(); }, "  No value changes.", true},
        {"no switch", [](ReportFacts& f) { f.switchPlanned = false; }, "  Nothing: a launch would not get as far as the switch.", true},
        {"keys this user may write", nullptr, "CurVer: yes\r\n", true},
        {"keys this user may not write", [](ReportFacts& f) { f.readBack[0].problem = "Access is denied"; },
         "CurVer: no (Access is denied)\r\n  This user may not write all of them: an administrator must run -OPENKEYS once.", true},
        {"-OPENKEYS only when needed", nullptr, "-OPENKEYS", false},
        {"the question a launch would ask", [](ReportFacts& f) { f.asksToRepair = true; }, "(\"Registry Error\")", true},
        {"no trust before 2007", nullptr, "4. Trust\r\n  Access 2002 has no trusted locations.", true},
        {"trusted folder",
         [](ReportFacts& f) {
             f.edition = 2016;
             f.trust = {{"C:\\Apps", true, false, TrustVerdict()}};
         },
         "  C:\\Apps and its subfolders: made a trusted location by the launch\r\n    A local folder\r\n"
         "    Office policy does not void it.",
         true},
        {"share under policy",
         [](ReportFacts& f) {
             f.edition = 2016;
             TrustVerdict verdict;
             verdict.kind = FolderKind::NetworkShare;
             verdict.voided = true;
             verdict.rule = 1;
             verdict.policyValue = "HKEY_LOCAL_MACHINE\\P [Allow User Locations] = 0";
             f.trust = {{"\\\\server\\apps", false, true, verdict}};
         },
         "  \\\\server\\apps: already a trusted location\r\n    A network share: the launch allows trusted locations on "
         "the network for the user (AllowNetworkLocations)\r\n    Office policy voids it: HKEY_LOCAL_MACHINE\\P [Allow "
         "User Locations] = 0: Office policy lets only trusted locations set by policy count. Access would open the "
         "application with its code disabled; a launch ends with exit code 8.",
         true},
        {"no database to trust", [](ReportFacts& f) { f.edition = 2016; }, "The command line names no database", true},
        {"no profile copy", nullptr, "Not used: the shortcut has no -WINDOWSPROFILE.", true},
        {"a copy of another master",
         [](ReportFacts& f) {
             ReportFrontEnd& frontEnd = f.frontEnd;
             frontEnd.used = frontEnd.update = true;
             frontEnd.opened = frontEnd.copy = "C:\\Local\\Main.accdb";
             frontEnd.verdict = FrontEndVerdict::OtherMaster;
             frontEnd.facts = {"\\\\s\\b\\Main.accdb", true, 10, 0, true, 0, true, {"\\\\s\\a\\Main.accdb", 9, 0}};
         },
         "  Access opens the profile copy: C:\\Local\\Main.accdb\r\n"
         "  Master \\\\s\\b\\Main.accdb: can be reached, 10 bytes, last written 1601-01-01 00:00:00 UTC\r\n"
         "  Copy C:\\Local\\Main.accdb: last written 1601-01-01 00:00:00 UTC, made from \\\\s\\a\\Main.accdb (9 bytes, "
         "last written 1601-01-01 00:00:00 UTC)\r\n"
         "  The launch would copy the master: the copy was made from another one, \\\\s\\a\\Main.accdb.",
         true},
        {"a master out of reach, a copy to open",
         [](ReportFacts& f) {
             f.frontEnd.used = f.frontEnd.update = true;
             f.frontEnd.facts.copyExists = true;
             f.frontEnd.masterProblem = "gone";
         },
         ": cannot be reached (gone)\r\n  Copy : last written 1601-01-01 00:00:00 UTC, with no record of its master\r\n"
         "  The launch would open the copy as it is, and end with exit code 5.",
         true},
        {"journal due",
         [](ReportFacts& f) {
             LeftoverJournal journal;
             journal.path = "C:\\Mallowbrook\\journal-1-2.txt";
             journal.started = "2024-05-01 09:30:00";
             journal.values = 351;
             journal.switchDone = true;
             journal.dueValues = {"HKEY_CLASSES_ROOT\\Access.Application\\CurVer []"};
             f.journals.journals = {journal};
         },
         "    Launch started 2024-05-01 09:30:00, 351 values recorded, switch done\r\n"
         "    The next launch puts back 1 value:\r\n      HKEY_CLASSES_ROOT\\Access.Application\\CurVer []",
         true},
        {"damaged journal",
         [](ReportFacts& f) {
             LeftoverJournal journal;
             journal.path = "C:\\j.txt";
             journal.problem = "damaged (cut short); the next launch sets it aside";
             f.journals.journals = {journal};
         },
         "  Journal C:\\j.txt\r\n    damaged (cut short); the next launch sets it aside\r\n", true},
        {"no journals", nullptr, "Journals of interrupted launches: none", true},
        {"verdict", nullptr, "7. Verdict\r\nA launch would start C:\\Office10\\MSACCESS.EXE\r\n  with the command line: \"C:\\Apps\\Demo.mdb\"", true},
        {"refusal", [](ReportFacts& f) { f.blocker = "Unable to find the Access 2002 runtime or full install."; },
         "A launch would not start Access: Unable to find the Access 2002 runtime or full install.", true},
    };
    for (const auto& c : cases) {
        ReportFacts facts = launchFacts();
        if (c.facts)
            c.facts(facts);
        const std::string report = reportText(facts);
        EXPECT_EQ(has(report, c.part), c.present) << c.what << "\n" << report;
    }
}

TEST(ReportText, ALaunchIsPromisedOnlyWithAProgramAndNothingInTheWay) {
    ReportFacts facts = launchFacts();
    EXPECT_TRUE(reportWouldLaunch(facts));
    facts.blocker = "x";
    EXPECT_FALSE(reportWouldLaunch(facts));
    facts = launchFacts();
    facts.executable.clear();
    EXPECT_FALSE(reportWouldLaunch(facts));
}

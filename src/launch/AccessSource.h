#pragma once
#include <string>

// Where the Access a launch starts comes from, in the order the launch looks: the Windows
// Installer runtime, the Click-to-Run runtime, the full product of the shell open command, the
// Click-to-Run full product. Pure text.
enum class AccessSource { None, InstallerRuntime, ClickToRunRuntime, FullProduct, ClickToRunFullProduct };

// "Windows Installer runtime", ..., as the log line "Using the <kind> of ..." names it.
const char* accessSourceText(AccessSource source);
// Why the search order picks it: one clause for the report, naming the edition ("Access 2016").
std::string accessSourceReason(AccessSource source, const std::string& editionName);

// The warning when no Access of the edition is found; two lines.
std::string accessNotFoundText(int edition);

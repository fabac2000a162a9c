#include "launch/AccessSource.h"

const char* accessSourceText(AccessSource source) {
    switch (source) {
    case AccessSource::InstallerRuntime:
        return "Windows Installer runtime";
    case AccessSource::ClickToRunRuntime:
        return "Click-to-Run runtime";
    case AccessSource::FullProduct:
        return "full product";
    case AccessSource::ClickToRunFullProduct:
        return "Click-to-Run full product";
    case AccessSource::None:
        break;
    }
    return "no Access";
}

std::string accessSourceReason(AccessSource source, const std::string& editionName) {
    switch (source) {
    case AccessSource::InstallerRuntime:
        return "the Windows Installer runtime of " + editionName + " comes first in the search order";
    case AccessSource::ClickToRunRuntime:
        return "there is no Windows Installer runtime of " + editionName + ", and the Click-to-Run runtime comes next";
    case AccessSource::FullProduct:
        return "there is no runtime of " + editionName +
               ", and the full product that the shell open command names comes next";
    case AccessSource::ClickToRunFullProduct:
        return "there is no runtime of " + editionName +
               " and no full product of the shell open command, and the Click-to-Run full product comes last";
    case AccessSource::None:
        break;
    }
    return "there is no Access of " + editionName;
}

std::string accessNotFoundText(int edition) {
    const std::string year = std::to_string(edition);
    return "Unable to find the Access " + year + " runtime or full install.\n" + "The most likely cause is that the " +
           year + " Runtime installer failed to install properly.";
}

#include "discovery/AccessLocations.h"

#include "discovery/CommandExecutable.h"
#include "discovery/PathHelpers.h"

AccessLocations::AccessLocations(ILog* log) : log_(log), registry_(log) {}

void AccessLocations::discover() {
    log_->WriteLine("Discovering Access locations.");
    for (int i = 0; i < kAccessEditionCount; ++i) {
        const AccessEdition& edition = kAccessEditions[i];
        LONG error = 0;
        std::string command = registry_.getString(HKEY_CLASSES_ROOT, edition.openCommandKey, "", &error);
        if (error != 0 || command.empty()) {
            if (log_->IsEnabled())
                log_->WriteLine(std::string(edition.displayName) + " not found.");
            continue;
        }
        paths_[i] = std::make_unique<std::string>(commandExecutable(command));
        if (log_->IsEnabled())
            log_->WriteLine(std::string(edition.displayName) + " Full found: " + *paths_[i]);
    }
}

bool AccessLocations::fullInstallPath(int edition, std::string& path) const {
    std::string named;
    if (!commandPath(edition, named) || !fileExists(named))
        return false;
    path = named;
    return true;
}

bool AccessLocations::commandPath(int edition, std::string& path) const {
    int index = accessEditionIndex(edition);
    if (index < 0 || !paths_[index])
        return false;
    path = *paths_[index];
    return true;
}

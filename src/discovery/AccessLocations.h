#pragma once
#include <memory>
#include <string>

#include "discovery/AccessEditions.h"
#include "log/ILog.h"
#include "registry/RegistryAccessor.h"

// The full Access products, found through the shell open command of each edition's ProgID.
// Created by the run sequence, filled once by discover(), asked by fullInstallPath().
class AccessLocations {
public:
    explicit AccessLocations(ILog* log);

    // Reads the open command of every edition and records the program it names; logs
    // "<edition> not found." or "<edition> Full found: <path>" for each.
    void discover();
    // True, with the recorded path copied out, when the edition has one and it names an
    // existing file (not a folder). Otherwise false and path unchanged.
    bool fullInstallPath(int edition, std::string& path) const;

    // The program the edition's open command names, whether or not that file exists; false when
    // the edition has no open command.
    bool commandPath(int edition, std::string& path) const;

private:
    ILog* log_;
    RegistryAccessor registry_;
    std::unique_ptr<std::string> paths_[kAccessEditionCount];  // in edition order, null = not found
};

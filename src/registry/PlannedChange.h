#pragma once
#include <string>

#include "registry/Hive.h"
#include "registry/RegistryView.h"
#include "registry/StoredValue.h"

// One change a launch would make to the registry, found by a dry run: the value as it is now and
// as the launch would leave it for Access. Plain data, for the report's text.
struct PlannedChange {
    Hive hive = Hive::ClassesRoot;
    std::string key;
    std::string valueName;  // empty: the key's default value
    // The view the write goes to; it matters only where WOW64 keeps the key apart per view.
    RegistryView view = RegistryView::Own;
    bool viewsApart = false;
    // The key goes with everything below it; valueName is unused and `now.present` says whether
    // the key is there now.
    bool removesKey = false;
    StoredValue now;
    StoredValue during;
    // This user may not write there: the launch's write would fail and the value stay as it is.
    bool denied = false;
};

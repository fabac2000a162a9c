#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "registry/PlannedChange.h"

// What a dry run of the launch would write, in the order it would write it. The accessor records
// its writes here instead of making them, and reads what the plan has written so far, so that
// the launch's own steps (read-backs included) run unchanged and the registry stays as it is.
class RegistryPlan {
public:
    // The value once the plan so far has run; none when the plan has not touched it.
    std::optional<StoredValue> value(HKEY root, const std::string& subkey, const std::string& valueName,
                                     REGSAM view) const;
    // Whether the key is there once the plan so far has run; none when the plan has not made or
    // removed it, nor a key above or below it.
    std::optional<bool> keyPresent(HKEY root, const std::string& subkey, REGSAM view) const;

    // A value the launch writes: `now` is read from the registry the first time the value comes.
    void setValue(HKEY root, const std::string& subkey, const std::string& valueName, REGSAM view,
                  const StoredValue& during, bool denied);
    // A key the launch removes with everything below it; it is there now.
    void removeKey(HKEY root, const std::string& subkey, REGSAM view, bool denied);
    // A key the launch makes (empty) where it is missing.
    void makeKey(HKEY root, const std::string& subkey, REGSAM view);

    const std::vector<PlannedChange>& changes() const { return changes_; }

private:
    struct KeyState {
        PlannedChange place;  // hive, key and view of the key
        bool present;
    };
    PlannedChange placeOf(HKEY root, const std::string& subkey, const std::string& valueName, REGSAM view) const;

    std::vector<PlannedChange> changes_;
    std::vector<KeyState> keys_;  // in the order they happened: later ones decide
};

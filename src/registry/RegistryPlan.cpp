#include "registry/RegistryPlan.h"

#include "base/AsciiCase.h"
#include "base/Wow64System.h"
#include "registry/RegistryPrimitives.h"
#include "registry/RegistryRoot.h"
#include "registry/Wow64Redirection.h"

namespace {

bool sameKey(const PlannedChange& a, const PlannedChange& b) {
    return a.hive == b.hive && a.view == b.view && equalsIgnoringAsciiCase(a.key, b.key);
}

// `inner` is `outer` itself or a key below it.
bool within(const PlannedChange& inner, const PlannedChange& outer) {
    if (inner.hive != outer.hive || inner.view != outer.view || inner.key.size() < outer.key.size())
        return false;
    return equalsIgnoringAsciiCase(inner.key.substr(0, outer.key.size()), outer.key) &&
           (inner.key.size() == outer.key.size() || inner.key[outer.key.size()] == '\\');
}

}  // namespace

// Where WOW64 keeps no separate keys, both views name one value.
PlannedChange RegistryPlan::placeOf(HKEY root, const std::string& subkey, const std::string& valueName,
                                    REGSAM view) const {
    PlannedChange place;
    hiveOf(root, place.hive);
    place.key = subkey;
    place.valueName = valueName;
    place.viewsApart = isWow64System() && isRedirectedByWow64(place.hive, subkey);
    place.view = place.viewsApart && (view & KEY_WOW64_64KEY) != 0 ? RegistryView::View64 : RegistryView::Own;
    return place;
}

std::optional<bool> RegistryPlan::keyPresent(HKEY root, const std::string& subkey, REGSAM view) const {
    const PlannedChange place = placeOf(root, subkey, "", view);
    std::optional<bool> present;
    for (const KeyState& state : keys_) {
        // A key made means every key above it is there; one removed takes every key below it.
        if (state.present ? within(state.place, place) : within(place, state.place))
            present = state.present;
    }
    return present;
}

std::optional<StoredValue> RegistryPlan::value(HKEY root, const std::string& subkey, const std::string& valueName,
                                               REGSAM view) const {
    const PlannedChange place = placeOf(root, subkey, valueName, view);
    for (const PlannedChange& change : changes_)
        if (!change.removesKey && !change.denied && sameKey(change, place) &&
            equalsIgnoringAsciiCase(change.valueName, valueName))
            return change.during;
    const std::optional<bool> present = keyPresent(root, subkey, view);
    if (present && !*present)
        return StoredValue();
    return std::nullopt;
}

void RegistryPlan::setValue(HKEY root, const std::string& subkey, const std::string& valueName, REGSAM view,
                            const StoredValue& during, bool denied) {
    PlannedChange place = placeOf(root, subkey, valueName, view);
    if (!denied)
        keys_.push_back({place, true});
    for (PlannedChange& change : changes_) {
        if (!change.removesKey && sameKey(change, place) && equalsIgnoringAsciiCase(change.valueName, valueName)) {
            change.during = during;
            change.denied = denied;
            return;
        }
    }
    place.now = readStoredValue(root, subkey, valueName, view);
    place.during = during;
    place.denied = denied;
    changes_.push_back(std::move(place));
}

void RegistryPlan::removeKey(HKEY root, const std::string& subkey, REGSAM view, bool denied) {
    PlannedChange place = placeOf(root, subkey, "", view);
    place.removesKey = true;
    place.now.present = true;
    place.denied = denied;
    if (!denied) {
        keys_.push_back({place, false});
        // What the plan wrote below it goes with it.
        for (PlannedChange& change : changes_)
            if (!change.removesKey && within(change, place))
                change.during = StoredValue();
    }
    changes_.push_back(std::move(place));
}

void RegistryPlan::makeKey(HKEY root, const std::string& subkey, REGSAM view) {
    keys_.push_back({placeOf(root, subkey, "", view), true});
}

#pragma once
#include <memory>

#include "discovery/IAccessRuntime.h"
#include "log/ILog.h"

// Creates the runtime locator of an edition year.
class AccessRuntimeFactory {
public:
    explicit AccessRuntimeFactory(ILog* log) : log_(log) {}

    // Empty for a year that names no edition. For 2007 and later this loads msi.dll and throws
    // std::runtime_error "Couldn't load msi.dll" when it cannot.
    std::shared_ptr<IAccessRuntime> createRuntime(int year) const;

private:
    ILog* log_;
};

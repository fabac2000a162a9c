#pragma once
#include <string>

#include "discovery/AccessEditions.h"
#include "registry/RegistryAccessor.h"

// Registers the edition's Office type library (2002 and 2003) when its mso.dll is there but no
// registration names it; nothing for an edition without one.
void registerOfficeTypeLibrary(const RegistryAccessor& registry, const AccessEdition& edition);
// "Ignore DDE Requests" of 2002 and 2003: 0 when ".mdb" opens with this edition, else 1.
void setIgnoreDdeRequests(const RegistryAccessor& registry, const AccessEdition& edition);

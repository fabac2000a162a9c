#pragma once
#include <string>

#include "registry/RegistryAccessor.h"

// Points the Installer component value of ACECORE.DLL at the edition's Office shared folder,
// creating its key when missing (Access 2007 and 2010).
void writeAceCorePath(const RegistryAccessor& registry, const std::string& sharedFolder);

// Rewrites the server paths of the COM class registrations in kComponentPathRows, in order.
// A registration that does not exist is never created: its write fails and the next row follows.
void writeComponentPaths(const RegistryAccessor& registry, const std::string& accessFolder,
                         const std::string& sharedFolder);

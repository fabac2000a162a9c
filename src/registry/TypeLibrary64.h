#pragma once
#include <string>

#include "registry/RegistryAccessor.h"

// Registers a 64-bit type library from this 32-bit program. RegisterTypeLib here would write
// the 32-bit registration ("win32", the 32-bit view's Interface keys), which a 64-bit Access
// never reads; so the entries a 64-bit RegisterTypeLib writes are written instead, through the
// logged accessor and in the 64-bit view:
//   TypeLib\{lib}\<major>.<minor>              (default)  the library's help string, else its name
//   TypeLib\{lib}\<major>.<minor>\<lcid>\win64 (default)  the file
//   TypeLib\{lib}\<major>.<minor>\FLAGS        (default)  the library flags, decimal
//   TypeLib\{lib}\<major>.<minor>\HELPDIR      (default)  the file's folder, only when the key is new
//   Interface\{iid} with ProxyStubClsid, ProxyStubClsid32 and TypeLib ("" and "Version") for every
//   dispatch and OLE Automation interface of the library.
// Versions and locales are written in hexadecimal, as the registration writes them. Logs
// "Registering dll:" + path first. False when the file is no type library or a write failed.
bool registerTypeLibrary64(const RegistryAccessor& registry, const std::string& path);

// "TypeLib\{lib}\<major>.<minor>" for the library's identity (hexadecimal version). Pure text.
std::string typeLibraryVersionKey(const std::string& libraryId, unsigned major, unsigned minor);

// The key whose default value names the library file in its registration for `platform`
// ("win32" or "win64"): "TypeLib\{lib}\<major>.<minor>\<lcid>\<platform>". False when the file is
// no type library.
bool typeLibraryPathKey(const std::string& path, const char* platform, std::string& key);

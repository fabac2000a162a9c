#pragma once
#include <cstddef>
#include <string>

// The COM class registrations under HKEY_LOCAL_MACHINE whose server paths a 2007-or-later launch
// points at its own edition's files. Only registrations that already exist are rewritten.
enum class ComponentFolder {
    Access,        // the folder of the MSACCESS.EXE being started
    OfficeShared,  // Common Files\Microsoft Shared\OFFICE1x of the edition
};

struct ComponentPathRow {
    const char* classId;  // "{252BFDA2-4B21-4872-ABA3-043945949BF8}"
    const char* subkey;   // "InprocServer32", "ToolboxBitmap32" or "LocalServer32"
    ComponentFolder folder;
    const char* fileName;  // letter case as Office installs it
    const char* suffix;    // appended after the path ("" or ", 101")
};

constexpr std::size_t kComponentPathRowCount = 18;
// In the order in which they are written.
extern const ComponentPathRow kComponentPathRows[kComponentPathRowCount];

// "SOFTWARE\Classes\CLSID\" + class + "\" + subkey, under HKEY_LOCAL_MACHINE.
std::string componentPathKey(const ComponentPathRow& row);
// The server path the row's default value is set to.
std::string componentPathValue(const ComponentPathRow& row, const std::string& accessFolder,
                               const std::string& sharedFolder);

// Common Files\Microsoft Shared\<officeFolder>, where the ACE engine and its OLE DB and DAO servers live.
std::string officeSharedFolder(const std::string& commonFilesFolder, const std::string& officeFolder);

// The Installer component value that names ACECORE.DLL for Access 2007 and 2010 (HKEY_LOCAL_MACHINE).
constexpr char kAceCoreComponentKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\"
    "87FA5D886C9174D44BCEB5FA380DE229";
constexpr char kAceCoreComponentValue[] = "00004102110000000000000000F01FEC";
constexpr char kAceCoreFileName[] = "ACECORE.DLL";

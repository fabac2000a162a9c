#pragma once

// The six Access editions a launcher can serve, with every fact that differs between them.
// Every list of editions is processed in this order; a new edition is one more row here plus
// its launcher's switch sequence.

// How the edition's runtime is found in Windows Installer's records.
enum class RuntimeSearch {
    InstallerComponents,  // read from the Installer's component data in the registry
    WindowsInstaller,     // asked of msi.dll, one product code per language
};

struct AccessEdition {
    int year;                    // 2002
    const char* officeVersion;   // "10.0"
    const char* progId;          // "Access.Application.10"
    const char* openCommandKey;  // under HKEY_CLASSES_ROOT: the full product's shell open command
    const char* displayName;     // "Access 2002", as the log names it
    const char* sharedFolder;    // "Office10": the edition's folder under Common Files\Microsoft Shared
    unsigned lastAccessInstall;  // "LastAccessInstall" the switch writes; 0: none
    RuntimeSearch runtimeSearch;
    // InstallerComponents: packed component and product codes (32 hexadecimal digits).
    // WindowsInstaller: the executable's component code, and the product code up to its language.
    const char* runtimeComponent;
    const char* runtimeProduct;
    // The Office type library the switch registers when mso.dll is there; null: none.
    const char* officeTypeLibraryVersion;      // "2.2"
    const char* officeTypeLibraryDescription;  // "Microsoft Office 10.0 Object Library"
    // Under HKEY_CURRENT_USER; null for editions without trusted locations.
    const char* trustedLocationsKey;
    // The -LANG choice lasts only for the launch, so the language values are recorded too.
    bool recordsLanguageValues;
    // Under HKEY_CURRENT_USER: the macro security "Level" the launch lowers, recorded and put
    // back like the fixed values; null for editions that leave it alone.
    const char* macroSecurityKey;
    // WindowsInstaller: the component code of the x64 runtime's Access executable, looked for
    // after the x86 one; null for editions without a 64-bit runtime.
    const char* runtimeComponent64;
    // The folder under a Click-to-Run install's "root" that holds MSACCESS.EXE ("Office16");
    // null for editions that are never installed by Click-to-Run.
    const char* clickToRunFolder;
};

constexpr int kAccessEditionCount = 6;
extern const AccessEdition kAccessEditions[kAccessEditionCount];

// The edition of a year, or null for a year that names no edition.
const AccessEdition* findAccessEdition(int year);
// Position of the edition in kAccessEditions, or -1.
int accessEditionIndex(int year);

#pragma once

// The six Access editions a launcher can serve, with the names they are registered under.
// Every list of editions is processed in this order.
struct AccessEdition {
    int year;                    // 2002
    const char* officeVersion;   // "10.0"
    const char* progId;          // "Access.Application.10"
    const char* openCommandKey;  // under HKEY_CLASSES_ROOT: the full product's shell open command
    const char* displayName;     // "Access 2002", as the log names it
};

constexpr int kAccessEditionCount = 6;
extern const AccessEdition kAccessEditions[kAccessEditionCount];

// The edition of a year, or null for a year that names no edition.
const AccessEdition* findAccessEdition(int year);
// Position of the edition in kAccessEditions, or -1.
int accessEditionIndex(int year);

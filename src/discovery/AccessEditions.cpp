#include "discovery/AccessEditions.h"

// The ProgID numbers skip 13: Access 2010 is version 14.
// clang-format off
const AccessEdition kAccessEditions[kAccessEditionCount] = {
    {2002, "10.0", "Access.Application.10", "Access.Application.10\\shell\\open\\command", "Access 2002", "Office10", 0,
     RuntimeSearch::InstallerComponents,
     // product {901C0409-6000-11D3-8CFE-0050048383C9}
     "769E92CC2CB71D119A12000A9CE1A23A", "9040C10900063D11C8EF00054038389C",
     "2.2", "Microsoft Office 10.0 Object Library", nullptr, false, nullptr, nullptr, nullptr},
    {2003, "11.0", "Access.Application.11", "Access.Application.11\\shell\\open\\command", "Access 2003", "Office11", 11,
     RuntimeSearch::InstallerComponents,
     // product {901C0409-6000-11D3-8CFE-0150048383C9}
     "8F287D2F41B64AF4F8AB65C5DD9B2B8A", "9040C10900063D11C8EF10054038389C",
     "2.3", "Microsoft Office 11.0 Object Library", nullptr, false,
     "Software\\Microsoft\\Office\\11.0\\Access\\Security", nullptr, nullptr},
    {2007, "12.0", "Access.Application.12", "Access.Application.12\\shell\\open\\command", "Access 2007", "OFFICE12", 12,
     RuntimeSearch::WindowsInstaller, "{0638C49D-BB8B-4CD1-B191-054E8F325736}", "{90120000-001C-", nullptr, nullptr,
     "Software\\Microsoft\\Office\\12.0\\Access\\Security\\Trusted Locations", true, nullptr, nullptr, nullptr},
    {2010, "14.0", "Access.Application.14", "Access.Application.14\\shell\\open\\command", "Access 2010", "OFFICE14", 14,
     RuntimeSearch::WindowsInstaller, "{AE393348-E564-4894-B8C5-EBBC5E72EFC6}", "{90140000-001C-", nullptr, nullptr,
     "Software\\Microsoft\\Office\\14.0\\Access\\Security\\Trusted Locations", false, nullptr,
     "{02F5CBEC-E7B5-4FC1-BD72-6043152BD1D4}", nullptr},
    {2013, "15.0", "Access.Application.15", "Access.Application.15\\shell\\open\\command", "Access 2013", "OFFICE15", 15,
     RuntimeSearch::WindowsInstaller, "{A3E12EF0-7C3B-4493-99A3-F92FCD0AA512}", "{90150000-001C-", nullptr, nullptr,
     "Software\\Microsoft\\Office\\15.0\\Access\\Security\\Trusted Locations", false, nullptr,
     "{3CE2B4B3-DA38-4113-8DB2-965847CDE94F}", nullptr},
    {2016, "16.0", "Access.Application.16", "Access.Application.16\\shell\\open\\command", "Access 2016", "OFFICE16", 16,
     RuntimeSearch::WindowsInstaller, "{E34AA7C4-8845-4BD7-BAC6-26554B60823B}", "{90160000-001C-", nullptr, nullptr,
     "Software\\Microsoft\\Office\\16.0\\Access\\Security\\Trusted Locations", false, nullptr,
     "{27C919A6-3FA5-47F9-A3EC-BC7FF2AAD452}", "Office16"},
};
// clang-format on

int accessEditionIndex(int year) {
    for (int i = 0; i < kAccessEditionCount; ++i)
        if (kAccessEditions[i].year == year)
            return i;
    return -1;
}

const AccessEdition* findAccessEdition(int year) {
    int index = accessEditionIndex(year);
    return index < 0 ? nullptr : &kAccessEditions[index];
}

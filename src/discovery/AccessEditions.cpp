#include "discovery/AccessEditions.h"

// The ProgID numbers skip 13: Access 2010 is version 14.
const AccessEdition kAccessEditions[kAccessEditionCount] = {
    {2002, "10.0", "Access.Application.10", "Access.Application.10\\shell\\open\\command", "Access 2002"},
    {2003, "11.0", "Access.Application.11", "Access.Application.11\\shell\\open\\command", "Access 2003"},
    {2007, "12.0", "Access.Application.12", "Access.Application.12\\shell\\open\\command", "Access 2007"},
    {2010, "14.0", "Access.Application.14", "Access.Application.14\\shell\\open\\command", "Access 2010"},
    {2013, "15.0", "Access.Application.15", "Access.Application.15\\shell\\open\\command", "Access 2013"},
    {2016, "16.0", "Access.Application.16", "Access.Application.16\\shell\\open\\command", "Access 2016"},
};

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

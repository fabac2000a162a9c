#include "environment/ComponentPathTable.h"

#include "base/PathText.h"

namespace {

constexpr ComponentFolder kAccess = ComponentFolder::Access;
constexpr ComponentFolder kShared = ComponentFolder::OfficeShared;

}  // namespace

const ComponentPathRow kComponentPathRows[kComponentPathRowCount] = {
    {"{252BFDA2-4B21-4872-ABA3-043945949BF8}", "InprocServer32", kAccess, "STSLIST.DLL", ""},
    {"{3B83A43E-3F73-4A35-BC00-E5726F517DBF}", "InprocServer32", kAccess, "STSLIST.DLL", ""},
    {"{65BCBEE4-7728-41A0-97BE-14E1CAE36AAE}", "InprocServer32", kAccess, "STSLIST.DLL", ""},
    {"{2F7FC18E-292B-11D2-A795-DFAA798E9148}", "InprocServer32", kAccess, "MSRTEDIT.DLL", ""},
    {"{2F7FC18E-292B-11D2-A795-DFAA798E9148}", "ToolboxBitmap32", kAccess, "MSRTEDIT.DLL", ", 101"},
    {"{3BE786A0-0366-4F5C-9434-25CF162E475E}", "InprocServer32", kShared, "ACEOLEDB.DLL", ""},
    {"{3BE786A0-0366-4F5C-9434-25CF162E475F}", "InprocServer32", kShared, "ACEOLEDB.DLL", ""},
    {"{42042206-2D85-11D3-8CFF-005004838597}", "InprocServer32", kAccess, "msohevi.DLL", ""},
    {"{367E582C-F71C-4BF9-AA1B-9F62B793E9C5}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{6F3DD387-5AF2-492B-BDE2-30FF2F451241}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{805B7F91-C9CF-4EDF-ACA6-775664FDFB3E}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{8D4F994C-EBBE-4F8D-BA4B-AE20CD36E72D}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{97A2762C-403C-4953-A121-7A75ABCE4373}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{A1EB89D6-0A9C-4575-A0AE-654A990A454C}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{CD7791B9-43FD-42C5-AE42-8DD2811F0419}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{D0B22D03-D05D-4C6D-8AB7-9392E84A87B9}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{D5EC4D34-77DA-4F7A-B8C4-8A910C1C1CFE}", "InprocServer32", kShared, "ACEDAO.DLL", ""},
    {"{73A4C9C1-D68D-11D0-98BF-00A0C90DC8D9}", "LocalServer32", kAccess, "MSACCESS.EXE", ""},
};

std::string componentPathKey(const ComponentPathRow& row) {
    return std::string("SOFTWARE\\Classes\\CLSID\\") + row.classId + "\\" + row.subkey;
}

std::string componentPathValue(const ComponentPathRow& row, const std::string& accessFolder,
                               const std::string& sharedFolder) {
    const std::string& folder = row.folder == ComponentFolder::Access ? accessFolder : sharedFolder;
    return joinPath(folder, row.fileName) + row.suffix;
}

std::string officeSharedFolder(const std::string& commonFilesFolder, const std::string& officeFolder) {
    return joinPath(commonFilesFolder, "Microsoft Shared\\" + officeFolder);
}

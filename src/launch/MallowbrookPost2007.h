#pragma once
#include "launch/Mallowbrook.h"

// Access 2007 and later: Office folders and language keys follow the Office version.
class MallowbrookPost2007 : public Mallowbrook {
public:
    using Mallowbrook::Mallowbrook;

    void finishRun() override {}
    // Writes CurVer, reads it back and, when it did not stick, offers the permission repair
    // and writes once more after it.
    void writeCurVer(const std::string& value) override;
    // "12.0", "14.0", "15.0" or "16.0".
    std::string officeVersion() const { return accessEdition().officeVersion; }
    // "OFFICE12" ... "OFFICE16", the edition's folder under "Microsoft Shared".
    std::string officeFolder() const { return accessEdition().sharedFolder; }

    // Office user-interface and help language from -LANG.
    void applyLanguage();
    void suppressFirstRunOptIn();

    // Trusted locations.
    // The folder a launch makes trusted, and whether with its subfolders: the folder of the
    // database Access opens; empty when the command line names none.
    struct TrustTarget {
        std::string folder;
        bool includeSubfolders;
    };
    TrustTarget databaseTrustTarget() const;
    void trustDatabaseFolder();
    void trustAccessFolder(const std::string& accessFolder);

    // Component registration.
    // Common Files\Microsoft Shared\OFFICE1x of the Access being started.
    std::string sharedFolder() const;
    void registerAceCore();
    void repairComponentPaths(const std::string& accessFolder);

protected:
    // The switch of 2013 and later, which differ only in the install number they record.
    std::string switchCurVerFrom2013(const std::string& accessFolder);
};

// Which installed Access the launch starts, and the registry view its switch then works in.

#include "discovery/ClickToRunAccess.h"
#include "discovery/ExecutableFile.h"
#include "launch/Mallowbrook.h"

bool Mallowbrook::chooseAccess(bool fullFound, const std::string& fullPath, std::string& executable) {
    AccessSource source = AccessSource::None;
    std::string runtimePath;
    if (findRuntime(runtimePath)) {
        executable = runtimePath;
        source = AccessSource::InstallerRuntime;
    } else {
        // Asked only once the Installer has no runtime: its lines are news only then.
        const std::optional<ClickToRunAccess> clickToRun = findClickToRunAccess(log, accessEdition());
        if (clickToRun && clickToRun->runtime) {
            executable = clickToRun->executable;
            source = AccessSource::ClickToRunRuntime;
        } else if (fullFound) {
            executable = fullPath;
            source = AccessSource::FullProduct;
        } else if (clickToRun) {
            executable = clickToRun->executable;
            source = AccessSource::ClickToRunFullProduct;
        } else {
            return false;
        }
    }
    accessSource = source;
    accessBitness = executableFileBitness(executable);
    if (log->IsEnabled())
        log->WriteLine(std::string("Using the ") + accessSourceText(source) + " of " + accessEdition().displayName + " (" +
                       executableBitnessText(accessBitness) + "): " + executable);
    // A program whose header cannot be read is taken for a 32-bit one, as every Access was.
    registry.useView64ForRedirectedKeys(access64());
    if (access64())
        log->WriteLine("64-bit Access: the registry keys that WOW64 keeps apart are switched in the 64-bit view");
    return true;
}

// Which installed Access the launch starts, and the registry view its switch then works in.

#include "discovery/ClickToRunAccess.h"
#include "discovery/ExecutableFile.h"
#include "launch/Mallowbrook.h"

bool Mallowbrook::chooseAccess(bool fullFound, const std::string& fullPath, std::string& executable) {
    const char* kind = nullptr;
    std::string runtimePath;
    if (findRuntime(runtimePath)) {
        executable = runtimePath;
        kind = "Windows Installer runtime";
    } else {
        // Asked only once the Installer has no runtime: its lines are news only then.
        const std::optional<ClickToRunAccess> clickToRun = findClickToRunAccess(log, accessEdition());
        if (clickToRun && clickToRun->runtime) {
            executable = clickToRun->executable;
            kind = "Click-to-Run runtime";
        } else if (fullFound) {
            executable = fullPath;
            kind = "full product";
        } else if (clickToRun) {
            executable = clickToRun->executable;
            kind = "Click-to-Run full product";
        } else {
            return false;
        }
    }
    accessBitness = executableFileBitness(executable);
    if (log->IsEnabled())
        log->WriteLine(std::string("Using the ") + kind + " of " + accessEdition().displayName + " (" +
                       executableBitnessText(accessBitness) + "): " + executable);
    // A program whose header cannot be read is taken for a 32-bit one, as every Access was.
    registry.useView64ForRedirectedKeys(access64());
    if (access64())
        log->WriteLine("64-bit Access: the registry keys that WOW64 keeps apart are switched in the 64-bit view");
    return true;
}

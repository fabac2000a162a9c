#include "discovery/InstallerPath.h"

std::string repairInstallerPath(std::string path) {
    for (std::string::size_type at = path.find("?\\"); at != std::string::npos; at = path.find("?\\"))
        path[at] = ':';
    return path;
}

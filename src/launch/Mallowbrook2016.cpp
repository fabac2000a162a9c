#include "launch/Mallowbrook2016.h"

std::string Mallowbrook2016::switchCurVer(const std::string& accessFolder) {
    return switchCurVerFrom2013(accessFolder);
}

#include "launch/Mallowbrook2013.h"

std::string Mallowbrook2013::switchCurVer(const std::string& accessFolder) {
    return switchCurVerFrom2013(accessFolder);
}

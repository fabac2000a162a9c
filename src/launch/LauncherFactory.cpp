#include "launch/LauncherFactory.h"

#include "launch/Mallowbrook2002.h"
#include "launch/Mallowbrook2003.h"
#include "launch/Mallowbrook2007.h"
#include "launch/Mallowbrook2010.h"
#include "launch/Mallowbrook2013.h"
#include "launch/Mallowbrook2016.h"

std::shared_ptr<Mallowbrook> createLauncher(int edition, ILog* log, HWND window, HINSTANCE instance,
                                            Settings* settings) {
    switch (edition) {
    case 2002:
        return std::make_shared<Mallowbrook2002>(log, window, instance, settings);
    case 2003:
        return std::make_shared<Mallowbrook2003>(log, window, instance, settings);
    case 2007:
        return std::make_shared<Mallowbrook2007>(log, window, instance, settings);
    case 2010:
        return std::make_shared<Mallowbrook2010>(log, window, instance, settings);
    case 2013:
        return std::make_shared<Mallowbrook2013>(log, window, instance, settings);
    case 2016:
        return std::make_shared<Mallowbrook2016>(log, window, instance, settings);
    default:
        return nullptr;
    }
}

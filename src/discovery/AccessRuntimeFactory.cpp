#include "discovery/AccessRuntimeFactory.h"

#include "discovery/AccessRuntime2002.h"
#include "discovery/AccessRuntime2003.h"
#include "discovery/AccessRuntime2007.h"
#include "discovery/AccessRuntime2010.h"
#include "discovery/AccessRuntime2013.h"
#include "discovery/AccessRuntime2016.h"

std::shared_ptr<IAccessRuntime> AccessRuntimeFactory::createRuntime(int edition) const {
    switch (edition) {
    case 2002: return std::make_shared<AccessRuntime2002>(log_);
    case 2003: return std::make_shared<AccessRuntime2003>(log_);
    case 2007: return std::make_shared<AccessRuntime2007>();
    case 2010: return std::make_shared<AccessRuntime2010>();
    case 2013: return std::make_shared<AccessRuntime2013>();
    case 2016: return std::make_shared<AccessRuntime2016>();
    default: return nullptr;
    }
}

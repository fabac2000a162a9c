#include "discovery/AccessRuntimeFactory.h"

#include "discovery/AccessEditions.h"
#include "discovery/BasicAccessRuntime.h"
#include "discovery/MsiComponentAccessRuntime.h"

std::shared_ptr<IAccessRuntime> AccessRuntimeFactory::createRuntime(int year) const {
    const AccessEdition* edition = findAccessEdition(year);
    if (edition == nullptr)
        return nullptr;
    switch (edition->runtimeSearch) {
    case RuntimeSearch::InstallerComponents:
        return std::make_shared<BasicAccessRuntime>(log_, *edition);
    case RuntimeSearch::WindowsInstaller:
        return std::make_shared<MsiComponentAccessRuntime>(*edition);
    }
    return nullptr;
}

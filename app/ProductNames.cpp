#include "app/ProductNames.h"

#include "login/SettingsKey.h"

#ifndef _WIN32
#include "platform/registry/RegistryFileLocation.h"
#include "platform/wininet/ExtraCaFile.h"
#endif

void UseProductNames()
{
    SetSettingsKeyPath(kSettingsKeyPath);
#ifndef _WIN32
    // What only the imitations need: Windows has the registry and the system's trust store.
    SetRegistryFileFolder(kSettingsFolder);
    wininet::SetExtraCaFileVariable(kExtraCaFileVariable);
#endif
}

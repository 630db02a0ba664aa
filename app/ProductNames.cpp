#include "app/ProductNames.h"

#include "login/SettingsKey.h"
#include "platform/registry/RegistryFileLocation.h"
#include "platform/wininet/ExtraCaFile.h"

void UseProductNames()
{
    SetRegistryFileFolder(kSettingsFolder);
    SetSettingsKeyPath(kSettingsKeyPath);
    wininet::SetExtraCaFileVariable(kExtraCaFileVariable);
}

#include "InstallFolders.h"
#include "PlatformFolders.h"
#include "SettingsFile.h"

namespace qv
{
    InstallFolders resolveInstallFolders()
    {
        InstallFolders folders;
        folders.settingsFolder = settingsFolderUnder (platform::makerFolderParent());
        folders.formatFolders = readOrWriteSettings (folders.settingsFolder, defaultFormatFolders());
        return folders;
    }
}

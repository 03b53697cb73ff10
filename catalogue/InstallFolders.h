#pragma once

#include <juce_core/juce_core.h>
#include <array>

namespace qv
{
    /** Where this run installs: the maker's settings folder and each format's folder, as the
        settings file names them (written with the defaults when it is missing). The window and
        the command line start from the same. */
    struct InstallFolders
    {
        juce::File settingsFolder;
        std::array<juce::File, 3> formatFolders;
    };

    InstallFolders resolveInstallFolders();
}

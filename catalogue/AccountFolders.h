#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** Where one Linux account installs. root installs for every user, into the folders hosts scan
        system-wide; any other account installs for itself, into the folders hosts scan for a
        single user, and keeps the maker's folder among its own configuration. */
    struct AccountFolders
    {
        juce::File pluginRoot;
        juce::StringArray formatFolderNames; // by format index, below pluginRoot
        juce::File makerFolderParent;
    };

    /** `home` and `xdgConfigHome` as the environment gives them; a relative or empty
        XDG_CONFIG_HOME is ignored, as the XDG base directory rules say. */
    AccountFolders accountFoldersFor (bool isRoot, const juce::String& home, const juce::String& xdgConfigHome);

    /** The folders of the account this process runs as. */
    AccountFolders currentAccountFolders();
}

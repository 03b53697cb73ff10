#include "PlatformFolders.h"

namespace qv
{
    std::array<juce::File, 3> defaultFormatFolders()
    {
        const auto root = platform::defaultPluginRoot();
        std::array<juce::File, 3> folders;

        // CLAP first, then VST3, then AAX: the order in which the defaults have always been built.
        for (auto index : { 1, 0, 2 })
            folders[(size_t) index] = root.getChildFile (platform::defaultFormatFolderName (index));

        return folders;
    }
}

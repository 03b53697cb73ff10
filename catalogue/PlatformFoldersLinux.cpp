#include "PlatformFolders.h"

namespace qv::platform
{
// Linux VST3 and CLAP hosts scan /usr/lib/vst3 and /usr/lib/clap for system-wide plug-ins;
// AAX has no Linux home, so it gets the sibling folder of the same shape.
juce::File defaultPluginRoot()                         { return juce::File ("/usr/lib"); }

juce::String defaultFormatFolderName (int formatIndex)
{
    static const juce::StringArray names { "vst3", "clap", "aax" };
    return names[formatIndex];
}

// /opt on Linux: shared by all users and all of the maker's installers.
juce::File commonApplicationDataFolder()               { return juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory); }

juce::String platformSuffix()                           { return " for Linux"; }
}

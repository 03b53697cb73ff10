#include "PlatformFolders.h"

namespace qv::platform
{
    juce::File defaultPluginRoot() { return juce::File ("C:/Program Files/Common Files"); }

    juce::String defaultFormatFolderName (int formatIndex)
    {
        static const juce::StringArray names { "VST3", "CLAP", "Avid/Audio/Plug-Ins" };
        return names[formatIndex];
    }

    // JUCE asks SHGetSpecialFolderPathW for CSIDL_COMMON_APPDATA, normally C:\ProgramData;
    // a failure gives an empty path.
    juce::File makerFolderParent() { return juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory); }

    juce::String platformSuffix() { return " for Windows"; }

    juce::String howToGetWriteAccess() { return "Run the installer as administrator."; }
}

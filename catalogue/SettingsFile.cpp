#include "SettingsFile.h"
#include "Catalogue.h"

namespace qv
{
juce::File settingsFolderUnder (const juce::File& commonApplicationData)
{
    return commonApplicationData.getChildFile (maker::folderName);
}

juce::File settingsFileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile ("PluginManagerSettings.txt");
}

std::array<juce::File, 3> readOrWriteSettings (const juce::File&, const std::array<juce::File, 3>& defaults)
{
    return defaults;
}
}

#include "Catalogue.h"

namespace qv
{
const juce::StringArray formatNames { "VST3", "CLAP", "AAX", "AudioUnit V2", "AudioUnit V3" };
const juce::StringArray formatExtensions { ".vst3", ".clap", ".aaxplugin" };
const juce::StringArray extraNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "SETTINGS" };

juce::String product::displayName (const juce::String& stored)
{
    return stored.replaceFirstOccurrenceOf ("_", " ");
}
}

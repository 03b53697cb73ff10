#include "Catalogue.h"
#include "FormatTable.h"

namespace qv
{
    const juce::StringArray formatNames { formatTable[0].name, formatTable[1].name, formatTable[2].name, "AudioUnit V2", "AudioUnit V3" };
    const juce::StringArray formatExtensions { formatTable[0].extension, formatTable[1].extension, formatTable[2].extension };
    const juce::StringArray extraNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "SETTINGS" };

    juce::String product::displayName (const juce::String& stored)
    {
        return stored.replaceFirstOccurrenceOf ("_", " ");
    }
}

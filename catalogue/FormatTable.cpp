#include "FormatTable.h"

namespace qv
{
const std::array<FormatFacts, 3> formatTable { {
    { "VST3", ".vst3", true, "Contents/x86_64-win/{name}.vst3", "Contents/x86_64-linux/{name}.so", true,
      "Contents/Resources/moduleinfo.json" },
    { "CLAP", ".clap", false, "", "", false, "" },
    { "AAX", ".aaxplugin", true, "Contents/x64/{name}.aaxplugin", "Contents/x64/{name}.aaxplugin", true, "" },
} };

juce::String modulePathInBundle (int formatIndex, bool windows, const juce::String& productName)
{
    const auto& facts = formatTable[(size_t) formatIndex];
    return juce::String (windows ? facts.windowsModule : facts.linuxModule).replace ("{name}", productName);
}
}

#include "FormatTable.h"

namespace qv
{
    // formatTable itself is generated from catalogue/formats.json (cmake/product/FormatTable.cmake).

    juce::String modulePathInBundle (int formatIndex, bool windows, const juce::String& productName)
    {
        const auto& facts = formatTable[(size_t) formatIndex];
        return juce::String (windows ? facts.windowsModule : facts.linuxModule).replace ("{name}", productName);
    }
}

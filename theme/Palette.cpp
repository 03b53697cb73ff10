#include "Palette.h"

namespace qv
{
    // Defined first: every colour below is built from it during static initialisation of this file.
    const juce::String paletteAlpha ("FF");

    static juce::Colour fromPaletteText (const char* rrggbb)
    {
        return juce::Colour::fromString (paletteAlpha + rrggbb);
    }

    const juce::Colour colourBackground = fromPaletteText ("111111");
    const juce::Colour colourIcon = fromPaletteText ("171717");
    const juce::Colour colourTextBright = fromPaletteText ("F5F5F5");
    const juce::Colour colourText = fromPaletteText ("AAA6A6");
    const juce::Colour colourActive = fromPaletteText ("86cf7a");
    const juce::Colour colourInstalled = fromPaletteText ("0094d8");
    const juce::Colour colourSelected = fromPaletteText ("D3C55F");
    const juce::Colour colourSlate = fromPaletteText ("393E44");
    const juce::Colour colourCharcoal = fromPaletteText ("101316");
    const juce::Colour colourSteel = fromPaletteText ("21272C");
}

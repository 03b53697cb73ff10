#pragma once

#include <juce_graphics/juce_graphics.h>

/** The installer's colours. Each is stored as RRGGBB text behind the shared alpha text, so every
    palette colour is opaque; translucent shades are derived where they are drawn. */
namespace qv
{
    extern const juce::String paletteAlpha;

    extern const juce::Colour colourBackground;
    extern const juce::Colour colourIcon;
    extern const juce::Colour colourTextBright;
    extern const juce::Colour colourText;
    extern const juce::Colour colourActive;
    extern const juce::Colour colourInstalled;
    extern const juce::Colour colourSelected;
    extern const juce::Colour colourSlate;
    extern const juce::Colour colourCharcoal;
    extern const juce::Colour colourSteel;
}

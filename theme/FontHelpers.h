#pragma once

#include <juce_graphics/juce_graphics.h>

namespace qv
{
    /** A font set in the given typeface. JUCE 8 spells this juce::Font (juce::FontOptions (typeface));
        JUCE 7 has no FontOptions, so this is the one place that knows. */
    inline juce::Font fontWithTypeface (const juce::Typeface::Ptr& typeface)
    {
        return juce::Font (typeface);
    }

    /** A font set in the given typeface at a height, clamped as juce::Font::setHeight clamps. */
    inline juce::Font fontWithTypeface (const juce::Typeface::Ptr& typeface, float height)
    {
        auto font = fontWithTypeface (typeface);
        font.setHeight (height);
        return font;
    }
}

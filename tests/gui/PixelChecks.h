#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

namespace qvtest
{
    /** The colour a translucent fill shows over an opaque background. */
    juce::Colour over (juce::Colour background, juce::Colour fill);

    /** True when every channel of the pixel is within `tolerance` of the expected opaque colour. */
    ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance = 2);

    /** The brightest pixel (by summed channels) inside an area. */
    juce::Colour brightest (const juce::Image& image, juce::Rectangle<int> area);

    /** How many pixels inside an area are within `tolerance` of a colour. */
    int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 8);

    /** Keeps a rendering as a test artefact (PNG) for people to look at. */
    void saveArtifact (const juce::Image& image, const juce::String& name);
}

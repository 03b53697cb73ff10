#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Drawing shared by the overlay panels, whose buttons are transparent and drawn by the panel. */
namespace qv
{
    /** The circled "X" in the close button's bounds reduced by 2u; brighter while hovered. */
    void drawCloseMark (juce::Graphics& g, const juce::Button& closeButton, float scaleUnit);

    /** Asks the panel's parent to let it go. The panel is neither deleted nor hidden: its owner
        keeps it until the next one replaces it. */
    void detachFromParent (juce::Component& panel);
}

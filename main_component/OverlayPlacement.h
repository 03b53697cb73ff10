#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv
{
    /** The licence, support and result panels cover the whole main component, use its unit and
        stay above its buttons. */
    template <typename Panel>
    void placeOverlay (Panel& panel, const juce::Component& owner, float scaleUnit)
    {
        panel.scaleUnit = scaleUnit;
        panel.setBounds (owner.getLocalBounds());
        panel.setAlwaysOnTop (true);
    }
}

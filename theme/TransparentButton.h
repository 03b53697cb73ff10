#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv
{
    /** Creates a fully transparent TextButton into `slot`, as a visible child of `parent`, named
        `name` and heard by `listener`. Such buttons only take the mouse: their owner paints their
        looks from their live hover and pressed state, and tells them apart by name. */
    void createTransparentButton (std::unique_ptr<juce::TextButton>& slot,
                                  juce::Component& parent,
                                  juce::Button::Listener& listener,
                                  const juce::String& name);

    /** The same with a button made elsewhere, e.g. one that describes itself to screen readers. */
    void installTransparentButton (std::unique_ptr<juce::TextButton> button,
                                   std::unique_ptr<juce::TextButton>& slot,
                                   juce::Component& parent,
                                   juce::Button::Listener& listener,
                                   const juce::String& name);
}

#include "TransparentButton.h"

namespace qv
{
    void createTransparentButton (std::unique_ptr<juce::TextButton>& slot,
                                  juce::Component& parent,
                                  juce::Button::Listener& listener,
                                  const juce::String& name)
    {
        installTransparentButton (std::make_unique<juce::TextButton> (juce::String()), slot, parent, listener, name);
    }

    void installTransparentButton (std::unique_ptr<juce::TextButton> button,
                                   std::unique_ptr<juce::TextButton>& slot,
                                   juce::Component& parent,
                                   juce::Button::Listener& listener,
                                   const juce::String& name)
    {
        slot = std::move (button);
        parent.addAndMakeVisible (*slot);
        slot->setName (name);
        slot->setAlpha (0.0f);
        slot->addListener (&listener);
    }
}

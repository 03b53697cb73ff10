#include "TransparentButton.h"

namespace qv
{
void createTransparentButton (std::unique_ptr<juce::TextButton>& slot,
                              juce::Component& parent,
                              juce::Button::Listener& listener,
                              const juce::String& name)
{
    slot = std::make_unique<juce::TextButton> (juce::String());
    parent.addAndMakeVisible (*slot);
    slot->setName (name);
    slot->setAlpha (0.0f);
    slot->addListener (&listener);
}
}

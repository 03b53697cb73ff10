#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The licence agreement over the whole main screen, with a close mark. */
class panel_eula final : public juce::Component,
                         public juce::Button::Listener
{
public:
    explicit panel_eula (juce::String licenceText);
    ~panel_eula() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    float scaleUnit = 9.0f;
    std::unique_ptr<juce::TextEditor> eulaEditor;
    std::unique_ptr<juce::TextButton> closeButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_eula)
};

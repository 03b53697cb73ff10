#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The installer's look-and-feel: JUCE's dark scheme, Source Sans Pro Regular for every text,
    palette colours for the framework-drawn controls, and a pill-shaped combo box. */
class CustomLookAndFeel final : public juce::LookAndFeel_V4
{
public:
    CustomLookAndFeel();
    ~CustomLookAndFeel() override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;
    juce::Font getPopupMenuFont() override;
    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;

    juce::Typeface::Ptr regularTypeface;
    juce::Typeface::Ptr boldTypeface;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLookAndFeel)
};

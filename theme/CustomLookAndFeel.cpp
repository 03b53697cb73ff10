#include "CustomLookAndFeel.h"
#include "Palette.h"
#include <BinaryData.h>

CustomLookAndFeel::CustomLookAndFeel()
{
    regularTypeface = juce::Typeface::createSystemTypefaceFor (BinaryData::SourceSansProRegular_ttf,
                                                               (size_t) BinaryData::SourceSansProRegular_ttfSize);
    boldTypeface = juce::Typeface::createSystemTypefaceFor (BinaryData::SourceSansProBold_ttf,
                                                            (size_t) BinaryData::SourceSansProBold_ttfSize);

    const auto halfActive = qv::colourActive.withAlpha (0.5f);

    setColour (juce::PopupMenu::backgroundColourId, qv::colourBackground);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, halfActive);
    setColour (juce::PopupMenu::textColourId, qv::colourTextBright);
    setColour (juce::PopupMenu::highlightedTextColourId, qv::colourTextBright);
    setColour (juce::AlertWindow::backgroundColourId, qv::colourBackground);
    setColour (juce::AlertWindow::textColourId, qv::colourText);
    setColour (juce::PropertyComponent::labelTextColourId, halfActive);
    setColour (juce::ScrollBar::thumbColourId, qv::colourText);
    setColour (juce::ResizableWindow::backgroundColourId, qv::colourBackground);
    setColour (juce::TextEditor::backgroundColourId, qv::colourBackground);
    setColour (juce::ListBox::backgroundColourId, qv::colourBackground);
    setColour (juce::TextButton::buttonColourId, qv::colourBackground);
    setColour (juce::Label::textColourId, qv::colourTextBright);
}

CustomLookAndFeel::~CustomLookAndFeel()
{
    regularTypeface = nullptr;
    boldTypeface = nullptr;
}

juce::Typeface::Ptr CustomLookAndFeel::getTypefaceForFont (const juce::Font&)
{
    // Every text is set in the regular face, whatever weight or style it asks for.
    return regularTypeface;
}

juce::Font CustomLookAndFeel::getPopupMenuFont()
{
    juce::Font font;
    font.setSizeAndStyle (30.0f, juce::Font::plain, 1.0f, 0.1f);
    return font;
}

void CustomLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox&)
{
    g.setColour (qv::colourIcon);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, (float) height * 0.5f);
}

juce::Font CustomLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    return juce::Font ((float) box.getHeight() * 0.7f, juce::Font::plain);
}

void CustomLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (1, 1, box.getWidth(), box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
    label.setJustificationType (juce::Justification::centred);
    label.setText (label.getText(), juce::dontSendNotification);
}

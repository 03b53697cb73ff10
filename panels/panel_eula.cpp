#include "panel_eula.h"
#include "PanelDrawing.h"
#include "theme/Palette.h"
#include "theme/TransparentButton.h"

panel_eula::panel_eula (juce::String licenceText)
{
    scaleUnit = 9.0f;

    eulaEditor = std::make_unique<juce::TextEditor> (juce::String());
    addAndMakeVisible (*eulaEditor);
    eulaEditor->setMultiLine (true);
    eulaEditor->setText (licenceText, true);
    eulaEditor->applyColourToAllText (qv::colourText);

    // The outline takes the background colour so the editor reads as part of the panel.
    eulaEditor->setColour (juce::TextEditor::outlineColourId, qv::colourBackground);
    eulaEditor->setColour (juce::TextEditor::focusedOutlineColourId, qv::colourBackground);

    qv::createTransparentButton (closeButton, *this, *this, "X");
}

panel_eula::~panel_eula() = default;

void panel_eula::paint (juce::Graphics& g)
{
    const auto u = scaleUnit;

    g.fillAll (qv::colourBackground);

    g.setColour (qv::colourTextBright);
    g.setFont (4.0f * u);
    g.drawSingleLineText ("LICENSE AGREEMENT", (int) (4.0f * u), (int) (6.0f * u));

    qv::drawCloseMark (g, *closeButton, u);
}

void panel_eula::resized()
{
    const auto u = scaleUnit;

    eulaEditor->setBounds (juce::roundToInt (4.0f * u), juce::roundToInt (12.0f * u),
                           juce::roundToInt (92.0f * u), juce::roundToInt (80.0f * u));
    closeButton->setBounds (juce::roundToInt (88.0f * u), juce::roundToInt (1.5f * u),
                            juce::roundToInt (8.0f * u), juce::roundToInt (8.0f * u));
}

// The close mark is the only button.
void panel_eula::buttonClicked (juce::Button*)
{
    qv::detachFromParent (*this);
}

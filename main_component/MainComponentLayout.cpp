#include "MainComponent.h"
#include "OverlayPlacement.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"
#include "theme/FontHelpers.h"

namespace
{
    // Child bounds round each float product to the nearest integer, halves to even (661.5 -> 662,
    // 346.5 -> 346), which is what the screen's geometry was drawn with.
    juce::Rectangle<int> roundedBounds (float x, float y, float w, float h)
    {
        return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h) };
    }

    template <typename Panel>
    void followMainComponent (Panel* panel, const MainComponent& owner)
    {
        if (panel != nullptr)
            qv::placeOverlay (*panel, owner, owner.scaleUnit);
    }
}

void MainComponent::resized()
{
    const auto u = (float) getWidth() * 0.01f;
    scaleUnit = u;

    // The extras stand 11.5u apart; each x is summed in float before rounding.
    const float extraX[] { 4.0f * u, 11.5f * u + 4.0f * u, 11.5f * u + 15.5f * u, 11.5f * u + 27.0f * u };

    for (size_t i = 0; i < extraButtons.size(); ++i)
        extraButtons[i]->setBounds (roundedBounds (extraX[i], 73.5f * u, 10.0f * u, 10.0f * u));

    installButton->setBounds (roundedBounds (86.0f * u, 73.5f * u, 10.0f * u, 10.0f * u));
    selectAllButton->setBounds (roundedBounds (80.0f * u, 22.5f * u, 16.0f * u, 4.0f * u));
    formatButtons[0]->setBounds (roundedBounds (4.0f * u, 30.0f * u, 45.0f * u, 10.0f * u));
    formatButtons[1]->setBounds (roundedBounds (51.0f * u, 30.0f * u, 45.0f * u, 10.0f * u));
    formatButtons[2]->setBounds (roundedBounds (4.0f * u, 42.0f * u, 45.0f * u, 10.0f * u));

    hintLabel->setFont (qv::fontWithTypeface (customLookAndFeel.regularTypeface, 3.0f * u));
    hintLabel->setBounds (roundedBounds (4.0f * u, 90.0f * u, 92.0f * u, 3.0f * u));
    showRunReport();

    followMainComponent (eulaPanel.get(), *this);
    followMainComponent (supportPanel.get(), *this);
}

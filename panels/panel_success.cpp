#include "panel_success.h"
#include "theme/Icons.h"
#include "theme/Palette.h"
#include <BinaryData.h>

panel_success::panel_success()
{
    succeeded = true;
    scaleUnit = 9.0f;

    // Both icons keep their own green and orange.
    successIcon = qv::loadIcon (BinaryData::icon_success_svg, BinaryData::icon_success_svgSize);
    warningIcon = qv::loadIcon (BinaryData::icon_warning_svg, BinaryData::icon_warning_svgSize);
}

panel_success::~panel_success() = default;

void panel_success::paint (juce::Graphics& g)
{
    const auto u = scaleUnit;
    const auto box = getLocalBounds().toFloat().reduced (35.0f * u);

    // Opaque black whatever colour the context was left in, as in the animator's fresh snapshot.
    g.setColour (juce::Colours::black);
    g.fillRoundedRectangle (box, u);

    g.setColour (qv::colourTextBright);
    g.drawRoundedRectangle (box, u, 0.25f * u);

    g.setColour (juce::Colours::white);
    g.setFont (3.0f * u);

    const auto* icon = succeeded ? successIcon.get() : warningIcon.get();

    if (icon != nullptr)
        icon->drawWithin (g, box.reduced (8.0f * u), juce::RectanglePlacement::centred, 1.0f);

    g.drawText (succeeded ? successText : failureText,
                box.reduced (2.0f * u), juce::Justification::centredBottom, true);
}

#include "MainComponent.h"
#include "catalogue/Catalogue.h"
#include "install/InstalledState.h"
#include "theme/FontHelpers.h"
#include "theme/IconTile.h"
#include "theme/Palette.h"

namespace
{
    // Single-line texts sit on truncated baselines (78.65 -> 78), unlike child bounds, which round.
    int truncated (float value)
    {
        return (int) value;
    }

    juce::Colour formatRowFill (bool installed, bool hovered)
    {
        if (installed)
            return qv::colourInstalled.withAlpha (hovered ? 1.0f : 0.9f);

        return qv::colourText.withAlpha (hovered ? 0.5f : 0.35f);
    }
}

void MainComponent::paint (juce::Graphics& g)
{
    const auto u = scaleUnit;
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto baseFont = qv::fontWithTypeface (customLookAndFeel.regularTypeface);

    g.fillAll (qv::colourBackground);

    g.setColour (qv::colourInstalled);
    g.fillRect (juce::Rectangle<float> (0.0f, 0.0f, 100.0f * u, u));

    // The resize grip: three dots in the bottom-right corner.
    g.setColour (qv::colourText.withAlpha (0.5f));
    g.fillEllipse (w - 2.0f * u, h - 2.0f * u, u, u);
    g.fillEllipse (w - 2.0f * u, h - 4.0f * u, u, u);
    g.fillEllipse (w - 4.0f * u, h - 2.0f * u, u, u);

    g.setFont (baseFont);

    // Header: product name and version share one box, the name on top and the version at its foot.
    const juce::Rectangle<float> productBox (4.0f * u, 8.0f * u, w, 12.0f * u);

    g.setColour (qv::colourText);
    g.setFont (9.0f * u);
    g.drawText (productName.toUpperCase(), productBox, juce::Justification::topLeft, true);

    g.setColour (qv::colourText.withAlpha (0.5f));
    g.setFont (4.0f * u);
    g.drawText ("Version " + productVersion + platformSuffix, productBox, juce::Justification::bottomLeft, true);

    // The maker's word mark: two words on one baseline, the second at a fixed x.
    g.setColour (qv::colourTextBright);
    g.setFont (4.0f * u);
    g.drawSingleLineText ("QUOR", truncated (4.0f * u), truncated (5.0f * u));

    g.setColour (qv::colourText);
    g.setFont (baseFont);
    g.setFont (4.0f * u);
    g.drawSingleLineText ("VANE", truncated (13.0f * u), truncated (5.0f * u));

    g.setColour (qv::colourText.withAlpha (0.5f));
    g.setFont (3.0f * u);
    g.drawSingleLineText ("PLUGIN MANAGER", truncated (75.0f * u), truncated (4.0f * u));
    g.setFont (2.0f * u);
    g.drawSingleLineText (juce::String ("v") + qv::installer::version, truncated (75.0f * u), truncated (6.0f * u));

    // Section titles with their rules.
    g.setColour (qv::colourText);
    g.setFont (4.0f * u);
    g.drawSingleLineText ("FORMATS", truncated (4.0f * u), truncated (26.0f * u));
    g.fillRect (juce::Rectangle<float> (4.0f * u, 27.5f * u, 92.0f * u, 0.25f * u));
    g.drawSingleLineText ("EXTRAS", truncated (4.0f * u), truncated (70.0f * u));
    g.fillRect (juce::Rectangle<float> (4.0f * u, 71.5f * u, 92.0f * u, 0.25f * u));

    // The extras and INSTALL: icon tiles with their captions just below them.
    const auto drawCaption = [&g, u] (const juce::Button& button, const juce::String& caption) {
        g.setColour (qv::colourText);
        g.drawText (caption, button.getBounds().toFloat().translated (0.0f, 3.5f * u),
                    juce::Justification::centredBottom, true);
    };

    g.setFont (2.5f * u);

    for (size_t i = 0; i < extraButtons.size(); ++i)
    {
        qv::drawIconTile (g, *extraButtons[i], extraIcons[i].get(), u, 2.0f * u);
        drawCaption (*extraButtons[i], qv::extraNames[(int) i]);
    }

    qv::drawIconTile (g, *installButton, extraIcons[4].get(), u, 1.5f * u);
    drawCaption (*installButton, shiftHeld ? "UNINSTALL" : "INSTALL");

    // SELECT ALL shows no hover, only a press.
    {
        const auto pressed = selectAllButton->isMouseButtonDown (false);
        const auto bounds = selectAllButton->getBounds().toFloat();

        g.setFont (3.0f * u);
        g.setColour (pressed ? qv::colourActive : qv::colourText.withAlpha (0.1f));
        g.fillRoundedRectangle (bounds, u);
        g.setColour (pressed ? qv::colourIcon : qv::colourText);
        g.drawText ("SELECT ALL", bounds, juce::Justification::centred, true);
    }

    for (int i = 0; i < qv::numFormats; ++i)
    {
        const auto index = (size_t) i;
        const auto& button = *formatButtons[index];
        const auto bounds = button.getBounds().toFloat();

        // Asked afresh on every paint: another installer or the last run may have changed it.
        const auto installed = isFormatInstalled (i);
        const auto version = installed ? installedVersionOf (i) : juce::String();

        g.setColour (formatRowFill (installed, button.isMouseOver (false)));
        g.fillRoundedRectangle (bounds, u);

        if (formatSelected[index])
        {
            g.setColour (qv::colourSelected);
            g.drawRoundedRectangle (bounds, u, 0.5f * u);
        }

        const auto textBox = bounds.reduced (1.5f * u).translated (10.0f * u, 0.0f);

        g.setColour (qv::colourBackground);
        g.setFont (3.5f * u);
        g.drawText (qv::formatNames[i], textBox, juce::Justification::topLeft, true);
        g.setFont (3.0f * u);
        g.drawText (qv::statusText (installed, version), textBox, juce::Justification::bottomLeft, true);

        if (auto* icon = formatIcons[index].get())
            icon->drawWithin (g, { bounds.getX() + u, bounds.getY() + u, 8.0f * u, juce::jmax (0.0f, bounds.getHeight() - 2.0f * u) },
                              juce::RectanglePlacement::centred, 1.0f);
    }

    // The keyboard focus: a ring just outside the focused button, clear of a row's selection
    // outline and unlike it in colour.
    if (const auto* focused = focusedButton())
    {
        g.setColour (qv::colourActive);
        g.drawRoundedRectangle (focused->getBounds().toFloat().expanded (0.5f * u), 1.5f * u, 0.35f * u);
    }
}

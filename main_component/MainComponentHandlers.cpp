#include "MainComponent.h"
#include "OverlayPlacement.h"
#include "catalogue/Catalogue.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"

void MainComponent::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name == "EULA")
    {
        eulaPanel = std::make_unique<panel_eula> (qv::eulaText);
        addAndMakeVisible (*eulaPanel);
        qv::placeOverlay (*eulaPanel, *this, scaleUnit);
    }
    else if (name == "WEBSITE")
    {
        productPageUrl.launchInDefaultBrowser();
    }
    else if (name == "MANUAL")
    {
        manualUrl.launchInDefaultBrowser();
    }
    else if (name == "SUPPORT")
    {
        supportPanel = std::make_unique<panel_support>();
        addAndMakeVisible (*supportPanel);
        supportPanel->settingsFolderPath = settingsFolder.getFullPathName();
        qv::placeOverlay (*supportPanel, *this, scaleUnit);
    }
    else if (const auto formatIndex = qv::formatNames.indexOf (name); juce::isPositiveAndBelow (formatIndex, qv::numFormats))
    {
        formatSelected[(size_t) formatIndex] = ! formatSelected[(size_t) formatIndex];
        repaint();
    }
    else if (name == "INSTALL")
    {
        processSelectedFormats();
    }
    else if (name == "SELECT_ALL")
    {
        formatSelected.fill (true);
        repaint();
    }
}

void MainComponent::buttonStateChanged (juce::Button* button)
{
    if (! button->isMouseOver (false))
    {
        if (runReport.has_value())
        {
            // Leaving the button that started the run keeps its report on the line.
            if (runReport->buttonPressed == button)
                runReport->buttonPressed = nullptr;

            return;
        }

        hintLabel->setText ({}, juce::dontSendNotification);
        return;
    }

    if (runReport.has_value())
    {
        // The release and flash of the click that started the run are not the mouse entering.
        if (runReport->buttonPressed == button)
            return;

        runReport.reset();
    }

    const auto name = button->getName();
    juce::String hint;

    if (name == "EULA")
        hint = "Click to read End-User License Agreement";
    else if (name == "MANUAL")
        hint = "Click to open product manual in your web browser";
    else if (name == "WEBSITE")
        hint = "Click to open product page on the Quorvane website";
    else if (name == "SUPPORT")
        hint = "Email and Discord support";
    else if (const auto formatIndex = qv::formatNames.indexOf (name); juce::isPositiveAndBelow (formatIndex, qv::numFormats))
        hint = isFormatInstalled (formatIndex) ? "Select to update " + name + " to " + productVersion
                                               : "Select to install " + name;
    else if (name == "INSTALL")
        hint = juce::String ("Click to install selected. ") + "Shift-click to uninstall selected";
    else
        return; // SELECT ALL and anything unknown leave the hint as it is.

    hintLabel->setText (hint, juce::dontSendNotification);
}

void MainComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    // Shift, Ctrl, Alt and the command bit where the platform has one.
    constexpr int trackedBits = 0xF;
    constexpr int shiftBit = juce::ModifierKeys::shiftModifier;

    const auto keyBits = modifiers.getRawFlags() & trackedBits;
    const auto changed = keyBits ^ lastModifierFlags;

    if ((changed & shiftBit) != 0)
        shiftHeld = (keyBits & shiftBit) != 0;

    if (changed != 0)
        repaint();

    lastModifierFlags = keyBits;
}

#include "MainComponent.h"
#include "catalogue/Catalogue.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"

namespace
{
    // Unit and, for the support panel, the folder path are set before the bounds, so the panel's
    // first layout already uses them.
    template <typename Panel>
    void showOver (MainComponent& owner, Panel& panel)
    {
        owner.addAndMakeVisible (panel);
        panel.scaleUnit = owner.scaleUnit;
    }

    template <typename Panel>
    void coverOwner (const MainComponent& owner, Panel& panel)
    {
        panel.setBounds (owner.getBounds());
        panel.setAlwaysOnTop (true);
    }
}

void MainComponent::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name == "EULA")
    {
        eulaPanel = std::make_unique<panel_eula> (qv::eulaText);
        showOver (*this, *eulaPanel);
        coverOwner (*this, *eulaPanel);
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
        showOver (*this, *supportPanel);
        supportPanel->settingsFolderPath = settingsFolder.getFullPathName();
        coverOwner (*this, *supportPanel);
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
        hintLabel->setText ({}, juce::dontSendNotification);
        return;
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

    // One request per changed bit; they coalesce into a single paint.
    for (int bit = 1; bit <= 8; bit <<= 1)
        if ((changed & bit) != 0)
            repaint (0, 0, getWidth(), getHeight());

    lastModifierFlags = keyBits;
}

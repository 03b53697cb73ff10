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
        panelOpener = button;

        // The editor keeps Escape for itself once it has been clicked into.
        eulaPanel->eulaEditor->onEscapeKey = [this] { closePanels(); };
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
        panelOpener = button;
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

    // Selections, installed states and versions are in the titles.
    notifyAccessibleTitlesChanged();
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

        // Off the buttons the line tells of the focused one, if any.
        hintLabel->setText (focusHint(), juce::dontSendNotification);
        return;
    }

    if (runReport.has_value())
    {
        // The release and flash of the click that started the run are not the mouse entering.
        if (runReport->buttonPressed == button)
            return;

        runReport.reset();
    }

    if (const auto hint = hintFor (*button))
        hintLabel->setText (*hint, juce::dontSendNotification);
}

std::optional<juce::String> MainComponent::hintFor (const juce::Button& button) const
{
    const auto name = button.getName();

    if (name == "EULA")
        return "Click to read End-User License Agreement";
    if (name == "MANUAL")
        return "Click to open product manual in your web browser";
    if (name == "WEBSITE")
        return juce::String ("Click to open product page on the ") + qv::maker::companyName + " website";
    if (name == "SUPPORT")
        return "Email and Discord support";
    if (const auto formatIndex = qv::formatNames.indexOf (name); juce::isPositiveAndBelow (formatIndex, qv::numFormats))
        return isFormatInstalled (formatIndex) ? "Select to update " + name + " to " + productVersion
                                               : "Select to install " + name;
    if (name == "INSTALL")
        return juce::String ("Click to install selected. ") + "Shift-click to uninstall selected";

    return std::nullopt; // SELECT ALL and anything unknown leave the hint as it is.
}

// Focused, SELECT ALL has no hint of its own; the line is empty as it is after hovering on to it.
juce::String MainComponent::focusHint() const
{
    if (auto* focused = focusedButton())
        return hintFor (*focused).value_or (juce::String());

    return {};
}

void MainComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    // Shift, Ctrl, Alt and the command bit where the platform has one.
    constexpr int trackedBits = 0xF;
    constexpr int shiftBit = juce::ModifierKeys::shiftModifier;

    const auto keyBits = modifiers.getRawFlags() & trackedBits;
    const auto changed = keyBits ^ lastModifierFlags;

    if ((changed & shiftBit) != 0)
    {
        shiftHeld = (keyBits & shiftBit) != 0;
        // INSTALL reads Uninstall while Shift is held.
        if (auto* handler = installButton->getAccessibilityHandler())
            handler->notifyAccessibilityEvent (juce::AccessibilityEvent::titleChanged);
    }

    if (changed != 0)
        repaint();

    lastModifierFlags = keyBits;
}

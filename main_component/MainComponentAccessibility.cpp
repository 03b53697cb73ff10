#include "MainComponent.h"
#include "catalogue/Catalogue.h"

qv::AccessibleButton::Description MainComponent::accessibleDescription (const juce::String& name) const
{
    if (const auto formatIndex = qv::formatNames.indexOf (name); juce::isPositiveAndBelow (formatIndex, qv::numFormats))
    {
        // The row as the paint shows it, asked afresh from the disk.
        const auto installed = isFormatInstalled (formatIndex);
        const auto version = installed ? installedVersionOf (formatIndex) : juce::String();
        const auto selected = formatSelected[(size_t) formatIndex];

        juce::StringArray parts { name, installed ? "installed" : "not installed" };

        if (version.isNotEmpty())
            parts.add ("version " + version);

        parts.add (selected ? "selected" : "not selected");
        return { parts.joinIntoString (", "), selected };
    }

    if (name == "INSTALL")
        return { shiftHeld ? "Uninstall" : "Install" };
    if (name == "SELECT_ALL")
        return { "Select all formats" };
    if (name == "EULA")
        return { "Licence agreement" };
    if (name == "MANUAL")
        return { "Open the manual in the browser" };
    if (name == "WEBSITE")
        return { "Open the product page in the browser" };
    if (name == "SUPPORT")
        return { "Support and contact" };

    return {};
}

void MainComponent::notifyAccessibleTitlesChanged()
{
    for (auto* button : keyboardOrder())
        if (auto* handler = button->getAccessibilityHandler())
            handler->notifyAccessibilityEvent (juce::AccessibilityEvent::titleChanged);
}

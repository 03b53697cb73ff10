#include "MainComponent.h"
#include "catalogue/Catalogue.h"
#include "catalogue/InstallFolders.h"
#include "catalogue/PlatformFolders.h"
#include "catalogue/SettingsFile.h"
#include "install/InstallEngine.h"
#include "install/InstalledState.h"
#include "install/RunLock.h"
#include "panels/panel_eula.h"
#include "panels/panel_success.h"
#include "panels/panel_support.h"
#include "theme/Icons.h"
#include "theme/Palette.h"
#include "theme/TransparentButton.h"
#include <BinaryData.h>

MainComponent::MainComponent()
{
    juce::LookAndFeel::setDefaultLookAndFeel (&customLookAndFeel);

    scaleUnit = 9.0f;
    shiftHeld = false;

    formatIcons[0] = qv::loadRecolouredIcon (BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize);
    formatIcons[1] = qv::loadRecolouredIcon (BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize);
    formatIcons[2] = qv::loadRecolouredIcon (BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize);
    extraIcons[0] = qv::loadRecolouredIcon (BinaryData::icon_eula_svg, BinaryData::icon_eula_svgSize);
    extraIcons[1] = qv::loadRecolouredIcon (BinaryData::icon_manual_svg, BinaryData::icon_manual_svgSize);
    extraIcons[2] = qv::loadRecolouredIcon (BinaryData::icon_web_svg, BinaryData::icon_web_svgSize);
    extraIcons[3] = qv::loadRecolouredIcon (BinaryData::icon_help_svg, BinaryData::icon_help_svgSize);
    extraIcons[4] = qv::loadRecolouredIcon (BinaryData::icon_install_svg, BinaryData::icon_install_svgSize);

    platformSuffix = qv::platform::platformSuffix();
    formatPaths = qv::defaultFormatFolders();

    productName = qv::product::displayName (qv::product::storedName);
    productVersion = qv::product::version;

    productPageUrl = juce::URL (juce::String (qv::product::pageUrl));
    manualUrl = juce::URL (juce::String (qv::product::manualUrl));

    const auto folders = qv::resolveInstallFolders();
    settingsFolder = folders.settingsFolder;
    formatPaths = folders.formatFolders;

    // A run that was killed between its renames leaves the old bundle set aside; put it back
    // before anything asks whether the format is installed. Not while another run is at work:
    // what lies beside its bundles is its own.
    if (qv::RunLock::acquire (settingsFolder, 0) != nullptr)
        qv::recoverInterruptedRuns (formatPaths, productName);

    const auto createButton = [this] (std::unique_ptr<juce::TextButton>& slot, const juce::String& name, juce::AccessibilityRole role) {
        auto button = std::make_unique<qv::AccessibleButton> (role, [this, name] { return accessibleDescription (name); });
        button->onFocusChange = [this] (FocusChangeType cause) { followKeyboardFocus (cause == focusChangedByTabKey || focusEnteringByTab); };
        qv::installTransparentButton (std::move (button), slot, *this, *this, name);
    };

    for (size_t i = 0; i < extraButtons.size(); ++i)
        createButton (extraButtons[i], qv::extraNames[(int) i], juce::AccessibilityRole::button);

    for (size_t i = 0; i < formatButtons.size(); ++i)
    {
        // Installed formats start selected, against the folders as the settings file left them.
        formatSelected[i] = isFormatInstalled ((int) i);
        createButton (formatButtons[i], qv::formatNames[(int) i], juce::AccessibilityRole::toggleButton);
    }

    createButton (installButton, "INSTALL", juce::AccessibilityRole::button);
    createButton (selectAllButton, "SELECT_ALL", juce::AccessibilityRole::button);

    // Tab visits the buttons in reading order; screen readers walk them in the same order. Nothing
    // has the focus until the first Tab, and a click never moves it, so the mouse never shows the ring.
    const auto order = keyboardOrder();

    for (size_t i = 0; i < order.size(); ++i)
        order[i]->setExplicitFocusOrder ((int) i + 1);

    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (false);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    juce::Desktop::getInstance().addFocusChangeListener (this);

    hintLabel = std::make_unique<juce::Label> (juce::String(), juce::String());
    addAndMakeVisible (*hintLabel);
    hintLabel->setJustificationType (juce::Justification::centred);
    hintLabel->setMinimumHorizontalScale (hintMinimumHorizontalScale);
    hintLabel->setColour (juce::Label::textColourId, qv::colourText.withAlpha (0.5f));
    hintLabel->setText (qv::installer::version, juce::dontSendNotification);

    setSize (600, 600);
}

// Members go in reverse declaration order; each owned child leaves this component as it is deleted.
// The default look-and-feel is a weak reference that lapses with customLookAndFeel.
MainComponent::~MainComponent()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
}

juce::File MainComponent::bundleFileFor (int formatIndex) const
{
    return qv::bundleFileFor (formatPaths[(size_t) formatIndex], productName, formatIndex);
}

bool MainComponent::isFormatInstalled (int formatIndex) const
{
    return qv::isFormatInstalled (formatPaths[(size_t) formatIndex], productName, formatIndex);
}

juce::String MainComponent::installedVersionOf (int formatIndex) const
{
    return qv::installedVersionOf (formatPaths[(size_t) formatIndex], productName, formatIndex);
}

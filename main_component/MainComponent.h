#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "RunAnnouncement.h"
#include "install/InstallEngine.h"
#include "theme/AccessibleButton.h"
#include "theme/CustomLookAndFeel.h"
#include <array>
#include <optional>
#include <vector>

class panel_eula;
class panel_support;
class panel_success;

/** The installer's one screen and the owner of all its state: product constants, install folders,
    selection and Shift state, the transparent buttons that take the mouse, the icons the screen
    draws, the hint label and the overlay panels. */
class MainComponent final : public juce::Component,
                            public juce::Button::Listener,
                            private juce::FocusChangeListener
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void modifierKeysChanged (const juce::ModifierKeys&) override;
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void buttonStateChanged (juce::Button*) override;

    bool keyPressed (const juce::KeyPress&) override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    /** The nine buttons in the order Tab visits them: the formats, SELECT ALL, INSTALL, the extras.
        While a licence or support panel covers them, Tab visits none. */
    std::vector<juce::Component*> keyboardOrder() const;

    /** The one of the nine buttons that has the keyboard focus, if any. */
    juce::Button* focusedButton() const;

    /** What the button named `name` reads as to a screen reader, from the state the paint shows. */
    qv::AccessibleButton::Description accessibleDescription (const juce::String& name) const;

    /** Installs (or, with Shift held, removes) every selected format, then shows the outcome. */
    void processSelectedFormats();

    juce::File bundleFileFor (int formatIndex) const;
    bool isFormatInstalled (int formatIndex) const;
    juce::String installedVersionOf (int formatIndex) const;

    // Declaration order is construction order; the destructor relies on its reverse.
    int lastModifierFlags = 0;
    CustomLookAndFeel customLookAndFeel;
    float scaleUnit = 9.0f;
    juce::String productName, productVersion, platformSuffix;
    std::array<std::unique_ptr<juce::TextButton>, 4> extraButtons;
    std::array<std::unique_ptr<juce::TextButton>, 3> formatButtons;
    std::unique_ptr<juce::TextButton> installButton;
    std::unique_ptr<juce::TextButton> selectAllButton;
    std::unique_ptr<panel_eula> eulaPanel;
    std::unique_ptr<panel_support> supportPanel;
    std::unique_ptr<juce::Label> hintLabel;
    std::array<std::unique_ptr<juce::Drawable>, 3> formatIcons;
    std::array<std::unique_ptr<juce::Drawable>, 5> extraIcons;
    std::unique_ptr<panel_success> successPanel;
    juce::URL productPageUrl, manualUrl;
    juce::File settingsFolder;
    bool shiftHeld = false;
    std::array<bool, 3> formatSelected { false, false, false };
    std::array<juce::File, 3> formatPaths;

    /** The last run's outcome while the line under the buttons tells of it: kept until the mouse
        enters a button or the next run starts, and fitted to the line again on a resize. */
    struct RunReport
    {
        qv::RunOutcome outcome;
        bool uninstall = false;
        juce::Button* buttonPressed = nullptr; // until the mouse leaves it, hovering it keeps the report
    };

    std::optional<RunReport> runReport;

    /** The last run's announcement to screen readers. */
    juce::String lastAnnouncement;

    /** The button that opened the licence or support panel; Escape gives it the focus back. */
    juce::Component::SafePointer<juce::Component> panelOpener;

    /** How far the line under the buttons may squeeze a long sentence sideways. */
    static constexpr float hintMinimumHorizontalScale = 0.75f;

private:
    void showRunReport();

    void globalFocusChanged (juce::Component*) override;
    bool panelIsOpen() const;
    bool closePanels();
    std::optional<juce::String> hintFor (const juce::Button&) const;
    juce::String focusHint() const;
    void followKeyboardFocus (bool byTab);
    void notifyAccessibleTitlesChanged();

    // The focused button the line under the buttons last followed.
    juce::Component::SafePointer<juce::Button> followedFocus;
    bool focusEnteringByTab = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};

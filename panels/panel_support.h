#pragma once

#include "catalogue/Catalogue.h"
#include <juce_gui_basics/juce_gui_basics.h>

/** The support channels (Discord, e-mail) and the about text, over the whole main screen. */
class panel_support final : public juce::Component,
                            public juce::Button::Listener
{
public:
    panel_support();
    ~panel_support() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    /** The maker's community invite, opened by the Discord tile. */
    static constexpr const char* discordInviteUrl = qv::maker::communityUrl;

    /** The maker's support address, handed to the system's mail handler by the e-mail tile. */
    static constexpr const char* supportMailtoUrl = qv::maker::mailUrl;

    /** The about text, naming the installer's version and where the settings file lies. */
    juce::String aboutText() const;

    float scaleUnit = 9.0f;
    juce::String settingsFolderPath;
    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::TextButton> mailButton;
    std::unique_ptr<juce::TextButton> discordButton;
    std::unique_ptr<juce::Drawable> discordIcon;
    std::unique_ptr<juce::Drawable> mailIcon;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_support)
};

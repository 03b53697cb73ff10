#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application object: owns the one window, and ends the process when it is closed. */
class qv_installerApplication final : public juce::JUCEApplication
{
public:
    qv_installerApplication() = default;
    ~qv_installerApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String&) override;
    void systemRequestedQuit() override;

    /** The square, resizable top-level window whose content is the main component. */
    class MainWindow final : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (juce::String name);
        void closeButtonPressed() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

private:
    std::unique_ptr<MainWindow> mainWindow;
};

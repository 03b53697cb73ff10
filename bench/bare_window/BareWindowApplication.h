#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The reference for start-up time: the smallest JUCE program that shows the installer's window,
    built like the installer but with nothing of its own inside the window. */
class BareWindowApplication final : public juce::JUCEApplication
{
public:
    BareWindowApplication() = default;

    const juce::String getApplicationName() override { return "qv_bench_bare_window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override;
    void shutdown() override;
    void systemRequestedQuit() override;

    /** The installer's window, set up with the same calls, around an empty 600 x 600 component. */
    class Window final : public juce::DocumentWindow
    {
    public:
        explicit Window (const juce::String& name);
        void closeButtonPressed() override;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Window)
    };

private:
    std::unique_ptr<Window> window;
};

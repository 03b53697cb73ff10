#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The outcome of an install or uninstall run. Only ever seen as the animator's fading snapshot. */
class panel_success final : public juce::Component
{
public:
    panel_success();
    ~panel_success() override;

    void paint (juce::Graphics&) override;

    /** What the panel says, and what a screen reader hears as it fades. */
    static constexpr const char* successText = "Operation Successful!";
    static constexpr const char* failureText = "Operation failed!";

    bool succeeded = true;
    float scaleUnit = 9.0f;
    std::unique_ptr<juce::Drawable> successIcon;
    std::unique_ptr<juce::Drawable> warningIcon;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_success)
};

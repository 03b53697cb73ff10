#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>

namespace qv
{
    /** A transparent button that a screen reader and the keyboard can use. Its owner draws its
        looks, so its owner also says what it reads as, asked afresh each time: the title, and for
        a toggle its state. A click never takes the keyboard focus, so the mouse never shows the
        focus ring; Return and Space go on to the owner, which presses the button at once with the
        key's own modifiers (the stock Return posts the click, to run after Shift may be up). */
    class AccessibleButton final : public juce::TextButton
    {
    public:
        struct Description
        {
            juce::String title;
            bool checked = false; // read only for the toggleButton role
        };

        AccessibleButton (juce::AccessibilityRole role, std::function<Description()> describe);

        Description describe() const;

        bool keyPressed (const juce::KeyPress&) override;
        void focusGained (FocusChangeType) override;
        void focusLost (FocusChangeType) override;

        const juce::AccessibilityRole role;

        /** Told after the button gains or loses the keyboard focus, so the owner can draw the ring. */
        std::function<void (FocusChangeType)> onFocusChange;

    private:
        std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

        std::function<Description()> describer;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AccessibleButton)
    };
}

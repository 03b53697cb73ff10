#include "AccessibleButton.h"

namespace qv
{
    namespace
    {
        class AccessibleButtonHandler final : public juce::AccessibilityHandler
        {
        public:
            explicit AccessibleButtonHandler (AccessibleButton& b)
                : AccessibilityHandler (b, b.role, actionsFor (b)),
                  button (b)
            {
            }

            juce::String getTitle() const override
            {
                return button.describe().title;
            }

            juce::AccessibleState getCurrentState() const override
            {
                auto state = AccessibilityHandler::getCurrentState();

                if (button.role != juce::AccessibilityRole::toggleButton)
                    return state;

                state = state.withCheckable();
                return button.describe().checked ? state.withChecked() : state;
            }

        private:
            // A toggle's toggle is its press: the owner flips the state it keeps.
            static juce::AccessibilityActions actionsFor (AccessibleButton& b)
            {
                auto actions = juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, [&b] { b.triggerClick(); });

                if (b.role == juce::AccessibilityRole::toggleButton)
                    actions = actions.addAction (juce::AccessibilityActionType::toggle, [&b] { b.triggerClick(); });

                return actions;
            }

            AccessibleButton& button;
        };
    }

    AccessibleButton::AccessibleButton (juce::AccessibilityRole r, std::function<Description()> d)
        : juce::TextButton (juce::String()),
          role (r),
          describer (std::move (d))
    {
        setMouseClickGrabsKeyboardFocus (false);
    }

    AccessibleButton::Description AccessibleButton::describe() const
    {
        return describer != nullptr ? describer() : Description {};
    }

    bool AccessibleButton::keyPressed (const juce::KeyPress&)
    {
        return false;
    }

    void AccessibleButton::focusGained (FocusChangeType cause)
    {
        juce::TextButton::focusGained (cause);

        if (onFocusChange != nullptr)
            onFocusChange (cause);
    }

    void AccessibleButton::focusLost (FocusChangeType cause)
    {
        juce::TextButton::focusLost (cause);

        if (onFocusChange != nullptr)
            onFocusChange (cause);
    }

    std::unique_ptr<juce::AccessibilityHandler> AccessibleButton::createAccessibilityHandler()
    {
        return std::make_unique<AccessibleButtonHandler> (*this);
    }
}

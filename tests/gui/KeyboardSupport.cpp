#include "KeyboardSupport.h"
#include "MessageLoop.h"

namespace qvtest
{
    void KeyboardOnScreenMain::SetUp()
    {
        OnScreenMain::SetUp();

        // The X server's focus arrives as an event; until it has been handled, the window's first
        // focus-in would take the focus back from whatever a key moved it to.
        main->grabKeyboardFocus();
        pumpMessages (200);
        ASSERT_TRUE (main->hasKeyboardFocus (false));
        ASSERT_EQ (main->focusedButton(), nullptr);
    }

    void KeyboardOnScreenMain::setModifiers (int modifiers)
    {
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys (modifiers);
        main->getPeer()->handleModifierKeysChange();
    }

    void KeyboardOnScreenMain::key (int keyCode, int modifiers, bool announceModifiers)
    {
        const auto character = keyCode == juce::KeyPress::spaceKey ? (juce::juce_wchar) ' ' : (juce::juce_wchar) 0;

        if (announceModifiers)
            setModifiers (modifiers);
        else
            juce::ModifierKeys::currentModifiers = juce::ModifierKeys (modifiers);

        main->getPeer()->handleKeyPress (keyCode, character);

        if (modifiers != 0)
            setModifiers (0);
    }

    void KeyboardOnScreenMain::tab (int times)
    {
        for (int i = 0; i < times; ++i)
            key (juce::KeyPress::tabKey);
    }

    void KeyboardOnScreenMain::shiftTab (int times)
    {
        for (int i = 0; i < times; ++i)
            key (juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier);
    }

    void KeyboardOnScreenMain::tabTo (const juce::String& name)
    {
        for (int i = 0; i < 10 && focusedName() != name; ++i)
            tab();

        ASSERT_EQ (focusedName(), name);
    }

    juce::String KeyboardOnScreenMain::focusedName() const
    {
        auto* focused = main->focusedButton();
        return focused != nullptr ? focused->getName() : juce::String ("none");
    }
}

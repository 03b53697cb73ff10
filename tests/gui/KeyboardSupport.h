#pragma once

#include "OnScreenMain.h"

namespace qvtest
{
    /** The main component on screen with the window's keyboard focus, as the window system gives it
        when the window is activated: the component itself holds it, no button does. Keys go in
        through the window's peer, as X key events do. */
    class KeyboardOnScreenMain : public OnScreenMain
    {
    protected:
        void SetUp() override;

        /** Presses a key with the given modifiers down; a modifier's own change reaches the window
            first unless `announceModifiers` is false. The modifiers are up again afterwards. */
        void key (int keyCode, int modifiers = 0, bool announceModifiers = true);

        void tab (int times = 1);
        void shiftTab (int times = 1);

        /** Tabs until the button named `name` has the focus. */
        void tabTo (const juce::String& name);

        /** The focused button's name, or "none". */
        juce::String focusedName() const;

        void setModifiers (int modifiers);
    };
}

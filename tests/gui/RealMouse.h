#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qvtest
{
    /** The mouse as X drives it: moves the real pointer (JUCE asks the X server where the pointer
        is for hover) and hands the window's peer the same events the X event loop would. */
    class RealMouse
    {
    public:
        /** `window` must be on the desktop. */
        explicit RealMouse (juce::Component& window);

        void moveTo (juce::Point<int> screenPosition);
        void moveOver (const juce::Component& target);
        void moveOver (const juce::Component& target, juce::Point<int> localPosition);
        void press();
        void release();
        void click (const juce::Component& target);

        /** Moves the pointer off the window, so nothing is hovered. */
        void leave();

    private:
        void send();

        juce::Component& window;
        juce::Point<int> position;
        bool buttonDown = false;
    };
}

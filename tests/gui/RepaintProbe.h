#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qvtest
{
    /** A one-pixel child that counts its paints, to see whether its parent was repainted as a
        whole. It sits where no button lies, so only whole-screen repaints reach it. */
    class RepaintProbe final : public juce::Component
    {
    public:
        explicit RepaintProbe (juce::Component& parent, juce::Point<int> position);

        /** Lets the window paint whatever is pending, and forgets earlier paints. Runs the message
            loop, so call it only while no mouse button is held. */
        void flush();

        /** Lets the window paint what is pending and says whether that included the probe. */
        bool repaintedSinceFlush();

        void paint (juce::Graphics&) override { ++paints; }

    private:
        int paints = 0;
    };
}

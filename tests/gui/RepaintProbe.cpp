#include "RepaintProbe.h"
#include "MessageLoop.h"
#include <utility>

namespace qvtest
{
    RepaintProbe::RepaintProbe (juce::Component& parent, juce::Point<int> position)
    {
        setInterceptsMouseClicks (false, false);
        setBounds (juce::Rectangle<int> (1, 1).withPosition (position));
        parent.addAndMakeVisible (this);
    }

    // The window paints on its own refresh timer, and through shared memory whose completion comes
    // back as an X event, so the message loop has to run for pending paints to happen.
    void RepaintProbe::flush()
    {
        pumpMessages (150);
        paints = 0;
    }

    bool RepaintProbe::repaintedSinceFlush()
    {
        pumpMessages (150);
        return std::exchange (paints, 0) > 0;
    }
}

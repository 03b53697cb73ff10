#pragma once

#include <juce_events/juce_events.h>

namespace qvtest
{
    /** Runs the message loop for a while: timers, the animator, async calls. */
    void pumpMessages (int milliseconds);
}

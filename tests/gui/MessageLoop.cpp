#include "MessageLoop.h"

// JUCE's own message loop step; runDispatchLoopUntil, which wraps it, is compiled out of builds
// without modal loops, as ours are.
namespace juce
{
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace qvtest
{
    void pumpMessages (int milliseconds)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

        while (juce::Time::getMillisecondCounter() < end)
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
    }
}

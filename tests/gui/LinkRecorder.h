#pragma once

#include <juce_core/juce_core.h>

namespace qvtest
{
    /** Records the links the program hands to xdg-open, which JUCE runs on Linux to open a URL, by
        putting a recording xdg-open first on PATH. No browser is ever started. */
    class LinkRecorder
    {
    public:
        LinkRecorder();
        ~LinkRecorder();

        /** The links recorded so far, waiting up to `timeoutMs` for at least `expected` of them. */
        juce::StringArray waitFor (int expected, int timeoutMs = 5000) const;

    private:
        juce::File folder, log;
        juce::String previousPath;
    };
}

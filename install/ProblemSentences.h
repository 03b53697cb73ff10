#pragma once

#include "InstallEngine.h"
#include <limits>

/** The sentences the screen and the command line show after a run: what went wrong, for which
    format, and what to do about it. Every text a person reads about a run's outcome is here. */
namespace qv
{
    constexpr int noPathLimit = std::numeric_limits<int>::max();

    /** The sentence for a run with nothing selected. */
    extern const char* const nothingSelectedSentence;

    /** The sentence for a run that another run kept waiting too long. */
    extern const char* const otherRunBusySentence;

    /** The sentence for `problem`, met by the formats named `formats` (e.g. "VST3" or "VST3 and
        CLAP"). A path in it longer than `maxPathLength` characters is shortened in the middle. */
    juce::String problemSentence (const juce::String& formats, const Problem& problem, bool uninstall,
                                  int maxPathLength = noPathLimit);

    /** What to tell the person after a run: the first failed format's sentence, or one sentence for
        several formats that failed the same way; failing none, which programs still run an old
        version and need a restart; else nothing. */
    juce::String runSentence (const RunOutcome& outcome, bool uninstall, int maxPathLength = noPathLimit);

    /** `path` with its middle replaced by an ellipsis so that it is at most `maxLength` characters;
        its first and last parts are kept, as they say where and what. */
    juce::String shortenPathInMiddle (const juce::String& path, int maxLength);

    /** "A", "A and B", "A, B and C". */
    juce::String joinedNames (const juce::StringArray& names);
}

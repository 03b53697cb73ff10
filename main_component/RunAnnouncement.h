#pragma once

#include "install/InstallEngine.h"

namespace qv
{
    /** What a screen reader hears as the result panel fades: the panel's words, then the line
        under the buttons' sentence in full when the run left one. */
    juce::String runAnnouncement (const RunOutcome& outcome, bool uninstall);
}

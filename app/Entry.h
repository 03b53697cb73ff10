#pragma once

#include "CommandLine.h"

/** What the platform's entry point shares: a run of the command line, or of the window. */
namespace qv::entry
{
    /** Runs the command line when the arguments ask for it; else starts the window, after
        `canShowWindow` has said a window can be shown (and otherwise says why on `output.err`).
        Returns the exit code. */
    int run (const juce::StringArray& arguments, const cli::Output& output,
             const std::function<bool()>& canShowWindow, const std::function<int()>& runWindow);
}

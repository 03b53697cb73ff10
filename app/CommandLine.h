#pragma once

#include <juce_core/juce_core.h>
#include <functional>

/** Everything the window does, without a window: for deployment scripts and terminals. */
namespace qv::cli
{
    enum ExitCode
    {
        allDone = 0,        // every requested format done
        someFailed = 1,     // at least one format failed; its sentence is on standard error
        badCommandLine = 2, // nothing was touched
        otherRunBusy = 3    // another run held the installer for too long
    };

    /** Where the command line writes; the program's standard output and error. */
    struct Output
    {
        std::function<void (const juce::String&)> out, err;
    };

    /** True when the arguments ask for a run without the window. */
    bool wantsCommandLine (const juce::StringArray& arguments);

    /** Runs the command line and returns the exit code. */
    int run (const juce::StringArray& arguments, const Output& output);

    /** The --help text. */
    juce::String usage();

    /** The sentence for a program started without arguments where no display can be opened. */
    juce::String noDisplaySentence();
}

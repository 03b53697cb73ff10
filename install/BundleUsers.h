#pragma once

#include <juce_core/juce_core.h>

/** Which running programs hold a bundle's files: a host that has the plug-in loaded. */
namespace qv::platform
{
    /** The names of the programs that have one of the bundle's files loaded or open, each once;
        empty when none does or the system cannot tell. Nothing is ever asked to stop. */
    juce::StringArray programsUsing (const juce::File& bundle);

    /** True where a bundle in use cannot be replaced safely (Windows, which keeps loaded files
        from being renamed or deleted): such a format is left untouched and the programs named. On
        Linux a running program keeps its copy of the old files, so the run goes on and the
        programs are named as still running the old version. */
    bool programsInUseBlockChanges();
}

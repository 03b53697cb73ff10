#pragma once

#include <juce_core/juce_core.h>

namespace qv::resourcecheck
{
    /** The command-line option that makes this program a font probe. */
    inline constexpr const char* fontProbeOption = "--probe-font";

    /** Checks a font file in a child process of this program: JUCE's Linux font loader crashes on
        bytes FreeType rejects, and such a font must fail the check with its name, not take the check
        down. Returns the font's problems, empty when it is sound. */
    juce::StringArray probeFont (const juce::File& font);

    /** The child's side: checks the font, prints "ok" or one line per problem, and returns the
        process's exit code. Needs the GUI framework initialised. */
    int runFontProbe (const juce::File& font);
}

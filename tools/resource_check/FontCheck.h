#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv::resourcecheck
{
    /** Problems with a font file's bytes: it must be a TrueType/OpenType font whose tables lie within
        the file and which has a character map, and juce::Typeface::createSystemTypefaceFor must give a
        typeface with an outline for 'A'. Empty when the font is sound. */
    juce::StringArray checkFont (const juce::MemoryBlock& font);
}

#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv::resourcecheck
{
    /** Problems with an SVG icon's bytes: it must parse as an SVG document, yield a drawable through
        juce::Drawable::createFromImageData (as the program loads it) and draw something. A recoloured
        icon must also draw some visible fill or stroke in exactly opaque black, the one colour the
        program's replaceColour call changes. Empty when the icon is sound. */
    juce::StringArray checkIcon (const juce::MemoryBlock& svg, bool recoloured);
}

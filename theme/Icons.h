#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv
{
    /** Parses an embedded SVG icon. May return nullptr for data that does not parse; the build's
        resource check makes sure the embedded icons do. */
    std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size);

    /** Parses an embedded SVG icon and turns its opaque black into the palette's icon colour. */
    std::unique_ptr<juce::Drawable> loadRecolouredIcon (const char* data, int size);
}

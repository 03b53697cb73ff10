#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qv::platform
{
    /** Makes sure a top-level window's repaints reach the screen even where the system reports no
        vertical blank; the helper lives as long as the window. Does nothing where it is not needed.
    */
    void keepWindowRepainting (juce::Component& topLevelWindow);
}

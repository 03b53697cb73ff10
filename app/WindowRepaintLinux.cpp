#include "WindowRepaint.h"

namespace qv::platform
{
    // X11 delivers repaints as they are asked for; there is nothing to keep going here.
    void keepWindowRepainting (juce::Component&) {}
}

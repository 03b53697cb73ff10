#pragma once

#include <juce_core/juce_core.h>
#include <optional>

namespace qv::platform
{
    /** The whole of a small regular file, read within fixed bounds: nothing when it holds more
        than `maxBytes`, is not a regular file (a folder, a FIFO, a device) or cannot be read. A
        file that is not regular is never opened for a read that could block, so a FIFO left where
        a settings or version file belongs cannot hang the program. */
    std::optional<juce::MemoryBlock> readSmallRegularFile (const juce::File& file, juce::int64 maxBytes);
}

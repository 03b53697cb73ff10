#include "SmallFileRead.h"

namespace qv::platform
{
    // Windows keeps pipes and devices out of the folders a path can name, so a plain bounded read will do.
    std::optional<juce::MemoryBlock> readSmallRegularFile (const juce::File& file, juce::int64 maxBytes)
    {
        if (! file.existsAsFile() || file.getSize() > maxBytes)
            return {};

        juce::FileInputStream in (file);
        juce::MemoryBlock bytes;

        if (! in.openedOk() || (juce::int64) in.readIntoMemoryBlock (bytes, (ssize_t) maxBytes + 1) > maxBytes)
            return {};

        return bytes;
    }
}

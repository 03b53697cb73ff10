#include "ArchiveInputStream.h"
#include "ResidentPages.h"
#include <cstring>

namespace qv
{
    // Pages are let go a megabyte at a time, keeping the last 64 KB, which the zip reader may read
    // again (it re-reads each entry's header just before the entry's data).
    static constexpr size_t releaseStep = 1 << 20;
    static constexpr size_t keptBehind = 64 << 10;

    ArchiveInputStream::ArchiveInputStream (const void* dataToUse, size_t sizeToUse)
        : data (static_cast<const char*> (dataToUse)),
          size (sizeToUse),
          releasable (dataToUse != nullptr && sizeToUse > 0 && platform::canReleaseResidentPages (dataToUse, sizeToUse))
    {
        if (releasable)
            platform::readAheadPages (data, size);
    }

    ArchiveInputStream::~ArchiveInputStream()
    {
        if (releasable)
            platform::releaseResidentPages (data, size);
    }

    juce::int64 ArchiveInputStream::getTotalLength()
    {
        return (juce::int64) size;
    }

    bool ArchiveInputStream::isExhausted()
    {
        return position >= size;
    }

    int ArchiveInputStream::read (void* destBuffer, int maxBytesToRead)
    {
        const auto start = position;
        const auto count = juce::jmin ((size_t) juce::jmax (0, maxBytesToRead), size - position);

        std::memcpy (destBuffer, data + position, count);
        position += count;

        if (releasable)
        {
            // Reading from before what was let go brings those pages back; start counting from there.
            if (start < releasedUpTo)
                releasedUpTo = start;

            if (position >= releasedUpTo + releaseStep + keptBehind)
            {
                platform::releaseResidentPages (data + releasedUpTo, position - keptBehind - releasedUpTo);
                releasedUpTo = position - keptBehind;
            }
        }

        return (int) count;
    }

    juce::int64 ArchiveInputStream::getPosition()
    {
        return (juce::int64) position;
    }

    bool ArchiveInputStream::setPosition (juce::int64 newPosition)
    {
        position = (size_t) juce::jlimit ((juce::int64) 0, (juce::int64) size, newPosition);
        return true;
    }
}

#pragma once

#include <juce_core/juce_core.h>

namespace qv
{
    /** An archive held in memory, read in place like juce::MemoryInputStream. When the bytes are
        the program's own embedded data, the pages already read are let go from the resident
        memory as reading moves on, so that an install holds about a megabyte of an archive at a
        time instead of all of it; a page read again comes back from the program file. The bytes
        are also read ahead from the disk, so that inflating seldom waits for it. */
    class ArchiveInputStream final : public juce::InputStream
    {
    public:
        ArchiveInputStream (const void* data, size_t size);
        ~ArchiveInputStream() override;

        juce::int64 getTotalLength() override;
        bool isExhausted() override;
        int read (void* destBuffer, int maxBytesToRead) override;
        juce::int64 getPosition() override;
        bool setPosition (juce::int64 newPosition) override;

    private:
        const char* const data;
        const size_t size;
        const bool releasable;
        size_t position = 0;
        size_t releasedUpTo = 0;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArchiveInputStream)
    };
}

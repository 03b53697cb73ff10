#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** Flushes a file that is being written to the disk in the background, a few megabytes behind
        the writer, so that the flush before its bundle is swapped in finds little left to do: the
        wait for the disk then overlaps the inflating instead of following it. Only a head start,
        never a promise: it reports nothing, and flushFilesToDisk still flushes every file. */
    class FlushBehind final
    {
    public:
        explicit FlushBehind (const juce::File& fileBeingWritten);

        /** Waits for a flush in progress. */
        ~FlushBehind();

        /** Tells it how many bytes have been written so far. */
        void written (juce::int64 totalBytes);

    private:
        struct State;
        std::unique_ptr<State> state;

        JUCE_DECLARE_NON_COPYABLE (FlushBehind)
    };
}

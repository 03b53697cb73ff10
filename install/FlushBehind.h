#pragma once

#include <juce_core/juce_core.h>

namespace qv::platform
{
    /** Flushes a file that is being written to the disk in the background, a few megabytes behind
        the writer, so that the flush before its bundle is swapped in finds little left to do: the
        wait for the disk then overlaps the inflating instead of following it. flushFilesToDisk
        still flushes every file afterwards. */
    class FlushBehind final
    {
    public:
        explicit FlushBehind (const juce::File& fileBeingWritten);

        /** Waits for a flush in progress. */
        ~FlushBehind();

        /** Tells it how many bytes have been written so far. */
        void written (juce::int64 totalBytes);

        /** Waits for a flush in progress; false when any of them failed. The system reports a
            failed write to the disk only once, so a later flush would not say so again. */
        bool finish();

    private:
        struct State;
        std::unique_ptr<State> state;

        JUCE_DECLARE_NON_COPYABLE (FlushBehind)
    };
}

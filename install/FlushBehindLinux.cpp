#include "FlushBehind.h"
#include <fcntl.h>
#include <future>
#include <system_error>
#include <unistd.h>

namespace qv::platform
{
    // On many disks, virtual ones especially, a flush costs in proportion to the data not yet flushed,
    // so a flush every few megabytes on a second thread leaves only the last few for the final one.
    static constexpr juce::int64 flushStep = 8 << 20;

    struct FlushBehind::State
    {
        int fd = -1;
        juce::int64 flushedUpTo = 0;
        std::future<int> flushing;
        bool failed = false;

        void collect()
        {
            if (flushing.valid())
                failed = flushing.get() != 0 || failed;
        }
    };

    FlushBehind::FlushBehind (const juce::File& fileBeingWritten)
        : state (std::make_unique<State>())
    {
        // A descriptor of its own: the writer's stream is not to be shared between threads.
        state->fd = open (fileBeingWritten.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }

    FlushBehind::~FlushBehind()
    {
        state->collect();

        if (state->fd >= 0)
            close (state->fd);
    }

    void FlushBehind::written (juce::int64 totalBytes)
    {
        if (state->fd < 0 || totalBytes - state->flushedUpTo < flushStep)
            return;

        // One flush at a time; a writer that runs ahead is caught up with by the next one.
        if (state->flushing.valid() && state->flushing.wait_for (std::chrono::seconds (0)) != std::future_status::ready)
            return;

        state->collect();

        try
        {
            state->flushing = std::async (std::launch::async, [fd = state->fd] { return fdatasync (fd); });
            state->flushedUpTo = totalBytes;
        }
        catch (const std::system_error&)
        {
            // No thread to spare: the final flush does it all.
        }
    }

    bool FlushBehind::finish()
    {
        state->collect();
        return ! state->failed;
    }
}

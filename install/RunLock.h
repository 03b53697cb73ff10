#pragma once

#include <juce_core/juce_core.h>
#include <memory>

namespace qv
{
    /** Keeps two runs on the same settings file (two windows, a window and a script) from working
        on the same folders at once. Held by the system for this process only: a run that was
        killed leaves no stale lock. */
    class RunLock
    {
    public:
        virtual ~RunLock() = default;

        /** Waits up to `timeoutMs` for any other run on `settingsFolder` to finish; nullptr when it
            did not within that time. */
        static std::unique_ptr<RunLock> acquire (const juce::File& settingsFolder, int timeoutMs);

        /** How long a run waits for another: 30 s, or for tests the milliseconds in the
            environment variable QV_TEST_RUN_LOCK_WAIT_MS. */
        static int defaultTimeoutMs();
    };
}

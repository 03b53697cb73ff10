#include "RunLock.h"

namespace qv
{
    int RunLock::defaultTimeoutMs()
    {
        const auto forTests = juce::SystemStats::getEnvironmentVariable ("QV_TEST_RUN_LOCK_WAIT_MS", {});
        return forTests.containsOnly ("0123456789") && forTests.isNotEmpty() ? forTests.getIntValue() : 30000;
    }
}

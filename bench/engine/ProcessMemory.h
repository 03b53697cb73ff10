#pragma once

#include <cstdint>
#include <string>

/** This process's resident memory as the kernel counts it in /proc/self/status. */
namespace bench
{
    struct ResidentMemory
    {
        int64_t currentBytes = -1;   // VmRSS
        int64_t peakBytes = -1;      // VmHWM
        int64_t anonymousBytes = -1; // RssAnon
        int64_t fileBytes = -1;      // RssFile
    };

    ResidentMemory readResidentMemory();

    /** Makes the peak (VmHWM) start again from the current resident size, so that a later reading
        is the peak of what ran in between. False when the kernel refuses. */
    bool resetPeakResidentMemory (std::string& error);
}

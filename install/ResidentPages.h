#pragma once

#include <cstddef>

namespace qv::platform
{
    /** True when the pages holding these bytes can be dropped from the process's resident memory
        and later read again unchanged: a read-only mapping of a file (the program's own embedded
        data) that was never written in memory. False for heap or stack memory and anything
        else, whose only copy would be lost. */
    bool canReleaseResidentPages (const void* data, size_t size);

    /** Asks the system to start reading these bytes from the file now, so that reading through
        them later seldom waits for the disk. Only for bytes that canReleaseResidentPages accepted;
        only a hint. */
    void readAheadPages (const void* data, size_t size);

    /** Drops every page holding any of these bytes from the resident memory; reading them again
        brings them back from the file. Only for bytes inside a range that
        canReleaseResidentPages accepted. */
    void releaseResidentPages (const void* data, size_t size);
}

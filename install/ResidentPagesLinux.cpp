#include "ResidentPages.h"
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace qv::platform
{
    // MADV_DONTNEED on a private file mapping discards the process's own copies of written pages, so
    // the bytes must lie in a mapping that is read-only, backed by a file, and has no written
    // ("Anonymous") pages: relocated data is written once and then made read-only, and would be lost.
    bool canReleaseResidentPages (const void* data, size_t size)
    {
        const auto begin = (uintptr_t) data;
        const auto end = begin + size;

        auto* smaps = std::fopen ("/proc/self/smaps", "re");

        if (smaps == nullptr)
            return false;

        bool inMapping = false, mappingQualifies = false, result = false;
        char line[512];

        while (std::fgets (line, sizeof (line), smaps) != nullptr)
        {
            uintptr_t start = 0, stop = 0;
            char permissions[8] {};
            unsigned long long offset = 0, inode = 0;
            unsigned int major = 0, minor = 0;

            const auto fields = std::sscanf (line, "%" SCNxPTR "-%" SCNxPTR " %7s %llx %x:%x %llu",
                                             &start, &stop, permissions, &offset, &major, &minor, &inode);

            if (fields == 7)
            {
                if (inMapping)
                    break;

                inMapping = start <= begin && end <= stop;
                mappingQualifies = inMapping && permissions[0] == 'r' && permissions[1] != 'w' && inode != 0;
                continue;
            }

            unsigned long long anonymousKb = 0;

            if (inMapping && std::sscanf (line, "Anonymous: %llu kB", &anonymousKb) == 1)
            {
                result = mappingQualifies && anonymousKb == 0;
                break;
            }
        }

        std::fclose (smaps);
        return result;
    }

    // Only fills the page cache: nothing is mapped into the process until it is read.
    void readAheadPages (const void* data, size_t size)
    {
        const auto page = (uintptr_t) sysconf (_SC_PAGESIZE);
        const auto begin = (uintptr_t) data & ~(page - 1);
        const auto end = ((uintptr_t) data + size + page - 1) & ~(page - 1);

        madvise ((void*) begin, end - begin, MADV_WILLNEED);
    }

    // Whole pages, rounded outwards: a page holding any of the bytes lies in the same mapping, which
    // canReleaseResidentPages found harmless to drop.
    void releaseResidentPages (const void* data, size_t size)
    {
        const auto page = (uintptr_t) sysconf (_SC_PAGESIZE);
        const auto begin = (uintptr_t) data & ~(page - 1);
        const auto end = ((uintptr_t) data + size + page - 1) & ~(page - 1);

        if (end > begin)
            madvise ((void*) begin, end - begin, MADV_DONTNEED);
    }
}

#include "ResidentPages.h"
#include <windows.h>

namespace qv::platform
{
    // Pages of the executable image are backed by the file; heap and stack pages are not.
    bool canReleaseResidentPages (const void* data, size_t size)
    {
        MEMORY_BASIC_INFORMATION info {};

        if (VirtualQuery (data, &info, sizeof (info)) == 0)
            return false;

        const auto* regionEnd = static_cast<const char*> (info.BaseAddress) + info.RegionSize;
        const bool readOnly = info.Protect == PAGE_READONLY || info.Protect == PAGE_EXECUTE_READ;

        return info.Type == MEM_IMAGE && readOnly && static_cast<const char*> (data) + size <= regionEnd;
    }

    // The memory manager already reads image pages in clusters; PrefetchVirtualMemory would need
    // Windows 8 headers and gains little over that.
    void readAheadPages (const void*, size_t)
    {
    }

    // Unlocking pages that are not locked takes them out of the working set; they stay on the standby
    // list, backed by the executable, and come back on the next read.
    void releaseResidentPages (const void* data, size_t size)
    {
        VirtualUnlock (const_cast<void*> (data), size);
    }
}

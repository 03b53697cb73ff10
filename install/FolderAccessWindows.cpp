#include "FolderAccess.h"
#include <windows.h>

namespace qv::platform
{
    // Windows folder rights come from access lists that no attribute shows, so ask by creating a
    // file that the system deletes again as soon as its handle closes.
    bool canCreateEntriesIn (const juce::File& folder)
    {
        const auto probe = nearestExistingFolder (folder).getNonexistentChildFile (".qv-write-check", ".tmp", false);
        const auto handle = CreateFileW (probe.getFullPathName().toWideCharPointer(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);

        if (handle == INVALID_HANDLE_VALUE)
            return GetLastError() != ERROR_ACCESS_DENIED && GetLastError() != ERROR_WRITE_PROTECT;

        CloseHandle (handle);
        return true;
    }

    std::optional<juce::int64> bytesFreeFor (const juce::File& folder)
    {
        ULARGE_INTEGER available {};

        if (! GetDiskFreeSpaceExW (nearestExistingFolder (folder).getFullPathName().toWideCharPointer(), &available, nullptr, nullptr))
            return {};

        return (juce::int64) available.QuadPart;
    }
}

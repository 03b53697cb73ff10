#pragma once

#include <cstddef>
#include <string>

/** The bare cost of an install: a zip archive's entries inflated with zlib into memory and written
    with plain POSIX calls. No checks beyond what the work needs, no staging, no timestamps. It is
    the floor the engine is measured against, not an installer. */
namespace bench
{
    /** Extracts every entry of the archive in memory below `targetFolder` ("\" and "/" both
        separate folders). With `syncEachFile`, each file is also flushed to the disk (fsync)
        before it is closed, as an installer that survives a power cut must. Returns false and
        sets `error` on the first failure. */
    bool extractBare (const void* archive, size_t archiveSize, const std::string& targetFolder, bool syncEachFile, std::string& error);
}

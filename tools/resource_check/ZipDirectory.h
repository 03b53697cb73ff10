#pragma once

#include <juce_core/juce_core.h>
#include <cstdint>
#include <vector>

namespace qv::resourcecheck
{
    /** One central-directory record of a zip archive, with the fields juce::ZipFile does not expose. */
    struct ZipDirectoryEntry
    {
        juce::String name;
        uint32_t flags = 0;
        uint32_t method = 0;
        uint32_t crc32 = 0;
        uint32_t uncompressedSize = 0;
    };

    /** Reads the central directory of the zip archive held in (data, size), in archive order. Fails
        with a reason when there is no end-of-central-directory record or a record lies outside the
        bytes; Zip64 archives fail too, since the installer's zip reader cannot read them. */
    juce::Result readZipDirectory (const void* data, size_t size, std::vector<ZipDirectoryEntry>& entries);
}

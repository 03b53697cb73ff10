#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::resourcecheck
{
    /** Incremental CRC-32 (the zip polynomial): juce::ZipFile does not verify entry checksums, so a
        damaged archive would otherwise only show up when a user installs from it. */
    class Crc32 final
    {
    public:
        void update (const void* data, size_t size) noexcept;
        uint32_t value() const noexcept { return ~state; }

    private:
        uint32_t state = 0xffffffffu;
    };
}

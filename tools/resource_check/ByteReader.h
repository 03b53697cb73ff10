#pragma once

#include <juce_core/juce_core.h>
#include <cstdint>

namespace qv::resourcecheck
{
    /** Little-endian reads from a byte range that never reach outside it: archive and module bytes come
        from files we do not trust, so every read says whether it was in range. */
    class ByteReader final
    {
    public:
        ByteReader (const void* data, size_t size) noexcept
            : bytes (static_cast<const uint8_t*> (data)),
              numBytes (size)
        {
        }

        size_t size() const noexcept { return numBytes; }
        const uint8_t* data() const noexcept { return bytes; }

        bool contains (uint64_t offset, uint64_t length) const noexcept
        {
            return offset <= numBytes && length <= numBytes - offset;
        }

        bool read16 (uint64_t offset, uint32_t& value) const noexcept
        {
            if (! contains (offset, 2))
                return false;

            value = (uint32_t) bytes[offset] | ((uint32_t) bytes[offset + 1] << 8);
            return true;
        }

        bool read32 (uint64_t offset, uint32_t& value) const noexcept
        {
            if (! contains (offset, 4))
                return false;

            value = (uint32_t) bytes[offset]
                | ((uint32_t) bytes[offset + 1] << 8)
                | ((uint32_t) bytes[offset + 2] << 16)
                | ((uint32_t) bytes[offset + 3] << 24);
            return true;
        }

        /** Big-endian, for the font tables. */
        bool read32BigEndian (uint64_t offset, uint32_t& value) const noexcept
        {
            if (! contains (offset, 4))
                return false;

            value = ((uint32_t) bytes[offset] << 24)
                | ((uint32_t) bytes[offset + 1] << 16)
                | ((uint32_t) bytes[offset + 2] << 8)
                | (uint32_t) bytes[offset + 3];
            return true;
        }

        bool read16BigEndian (uint64_t offset, uint32_t& value) const noexcept
        {
            if (! contains (offset, 2))
                return false;

            value = ((uint32_t) bytes[offset] << 8) | (uint32_t) bytes[offset + 1];
            return true;
        }

    private:
        const uint8_t* bytes;
        size_t numBytes;
    };
}

#include "Crc32.h"
#include <array>

namespace qv::resourcecheck
{
namespace
{
    std::array<uint32_t, 256> makeTable() noexcept
    {
        std::array<uint32_t, 256> table {};

        for (uint32_t i = 0; i < 256; ++i)
        {
            auto c = i;

            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;

            table[i] = c;
        }

        return table;
    }
}

void Crc32::update (const void* data, size_t size) noexcept
{
    static const auto table = makeTable();
    auto* bytes = static_cast<const uint8_t*> (data);

    for (size_t i = 0; i < size; ++i)
        state = table[(state ^ bytes[i]) & 0xff] ^ (state >> 8);
}
}

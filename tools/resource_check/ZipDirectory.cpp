#include "ZipDirectory.h"
#include "ByteReader.h"

namespace qv::resourcecheck
{
    namespace
    {
        constexpr uint32_t endOfDirectorySignature = 0x06054b50;
        constexpr uint32_t directoryEntrySignature = 0x02014b50;
        constexpr uint64_t endOfDirectorySize = 22;
        constexpr uint64_t directoryEntrySize = 46;
        constexpr uint64_t maxCommentSize = 0xffff;

        bool findEndOfDirectory (const ByteReader& reader, uint64_t& position)
        {
            if (reader.size() < endOfDirectorySize)
                return false;

            const auto last = reader.size() - endOfDirectorySize;
            const auto first = last > maxCommentSize ? last - maxCommentSize : 0;

            for (auto candidate = last + 1; candidate-- > first;)
            {
                uint32_t signature = 0;

                // The last signature wins, as in juce::ZipFile.
                if (reader.read32 (candidate, signature) && signature == endOfDirectorySignature)
                {
                    position = candidate;
                    return true;
                }
            }

            return false;
        }
    }

    juce::Result readZipDirectory (const void* data, size_t size, std::vector<ZipDirectoryEntry>& entries)
    {
        entries.clear();
        const ByteReader reader (data, size);
        uint64_t end = 0;

        if (! findEndOfDirectory (reader, end))
            return juce::Result::fail ("has no end-of-central-directory record");

        uint32_t diskNumber = 0, directoryDisk = 0, entriesOnDisk = 0, totalEntries = 0;
        uint32_t directorySize = 0, directoryOffset = 0;
        reader.read16 (end + 4, diskNumber);
        reader.read16 (end + 6, directoryDisk);
        reader.read16 (end + 8, entriesOnDisk);
        reader.read16 (end + 10, totalEntries);
        reader.read32 (end + 12, directorySize);
        reader.read32 (end + 16, directoryOffset);

        if (totalEntries == 0xffff || directorySize == 0xffffffff || directoryOffset == 0xffffffff)
            return juce::Result::fail ("is a Zip64 archive, which the installer cannot read");

        if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != totalEntries)
            return juce::Result::fail ("is a multi-part archive");

        if (! reader.contains (directoryOffset, directorySize) || directoryOffset + (uint64_t) directorySize > end)
            return juce::Result::fail ("has a central directory outside the file");

        auto position = (uint64_t) directoryOffset;

        for (uint32_t index = 0; index < totalEntries; ++index)
        {
            uint32_t signature = 0, nameLength = 0, extraLength = 0, commentLength = 0;

            if (! reader.read32 (position, signature) || signature != directoryEntrySignature
                || ! reader.contains (position, directoryEntrySize))
                return juce::Result::fail ("has a broken central directory at record " + juce::String (index));

            ZipDirectoryEntry entry;
            reader.read16 (position + 8, entry.flags);
            reader.read16 (position + 10, entry.method);
            reader.read32 (position + 16, entry.crc32);
            reader.read32 (position + 24, entry.uncompressedSize);
            reader.read16 (position + 28, nameLength);
            reader.read16 (position + 30, extraLength);
            reader.read16 (position + 32, commentLength);

            const auto nameOffset = position + directoryEntrySize;

            if (! reader.contains (nameOffset, (uint64_t) nameLength + extraLength + commentLength))
                return juce::Result::fail ("has a broken central directory at record " + juce::String (index));

            // The same decoding as juce::ZipFile, so that names compare with what the installer sees.
            entry.name = juce::String::fromUTF8 (reinterpret_cast<const char*> (reader.data() + nameOffset), (int) nameLength);
            entries.push_back (entry);

            position = nameOffset + nameLength + extraLength + commentLength;
        }

        if (position > (uint64_t) directoryOffset + directorySize)
            return juce::Result::fail ("has a central directory longer than its recorded size");

        return juce::Result::ok();
    }
}

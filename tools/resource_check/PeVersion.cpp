#include "PeVersion.h"
#include "ByteReader.h"

namespace qv::resourcecheck
{
    namespace
    {
        constexpr uint32_t peSignature = 0x00004550; // "PE\0\0"
        constexpr uint32_t pe32Magic = 0x10b;
        constexpr uint32_t pe32PlusMagic = 0x20b;
        constexpr uint32_t resourceDirectoryIndex = 2;
        constexpr uint32_t rtVersion = 16;
        constexpr uint32_t versionInfoId = 1; // VS_VERSION_INFO, the only one the version API looks up
        constexpr uint32_t fixedFileInfoSignature = 0xfeef04bd;
        constexpr uint32_t fixedFileInfoSize = 52;
        constexpr uint32_t subdirectoryFlag = 0x80000000u;

        struct Section
        {
            uint32_t virtualAddress = 0, virtualSize = 0, rawSize = 0, rawOffset = 0;
        };

        /** Maps a relative virtual address to a file offset through the section table. */
        bool fileOffsetOf (const juce::Array<Section>& sections, uint32_t rva, uint32_t length, uint64_t& offset)
        {
            for (auto& s : sections)
            {
                const auto extent = juce::jmax (s.virtualSize, s.rawSize);

                if (rva >= s.virtualAddress && (uint64_t) rva - s.virtualAddress < extent)
                {
                    const auto within = (uint64_t) rva - s.virtualAddress;

                    // Beyond the raw data the section is zero-filled in memory, which no resource is.
                    if (within + length > s.rawSize)
                        return false;

                    offset = (uint64_t) s.rawOffset + within;
                    return true;
                }
            }

            return false;
        }

        /** Finds the entry with the given ID in one resource directory table, or the first entry when
            anyId is set; returns its OffsetToData field. */
        bool findResourceEntry (const ByteReader& reader, uint64_t table, uint32_t id, bool anyId, uint32_t& offsetToData)
        {
            uint32_t namedCount = 0, idCount = 0;

            if (! reader.read16 (table + 12, namedCount) || ! reader.read16 (table + 14, idCount))
                return false;

            for (uint32_t i = 0; i < namedCount + idCount; ++i)
            {
                uint32_t nameField = 0;
                const auto entry = table + 16 + (uint64_t) i * 8;

                if (! reader.read32 (entry, nameField) || ! reader.read32 (entry + 4, offsetToData))
                    return false;

                const auto isNamed = (nameField & 0x80000000u) != 0;

                if (anyId || (! isNamed && nameField == id))
                    return true;
            }

            return false;
        }

        juce::String versionString (uint32_t most, uint32_t least)
        {
            return juce::String (most >> 16) + "." + juce::String (most & 0xffff) + "."
                + juce::String (least >> 16) + "." + juce::String (least & 0xffff);
        }
    }

    juce::Result readPeFileVersion (const void* data, size_t size, juce::String& version)
    {
        const ByteReader reader (data, size);
        uint32_t mz = 0, headerOffset = 0, signature = 0;

        if (! reader.read16 (0, mz) || mz != 0x5a4d || ! reader.read32 (0x3c, headerOffset)
            || ! reader.read32 (headerOffset, signature) || signature != peSignature)
            return juce::Result::fail ("is not a Windows PE module");

        const auto coff = (uint64_t) headerOffset + 4;
        uint32_t sectionCount = 0, optionalSize = 0, magic = 0;

        if (! reader.read16 (coff + 2, sectionCount) || ! reader.read16 (coff + 16, optionalSize))
            return juce::Result::fail ("has a truncated PE header");

        const auto optional = coff + 20;

        if (! reader.read16 (optional, magic) || (magic != pe32Magic && magic != pe32PlusMagic))
            return juce::Result::fail ("has an unknown PE optional header");

        const auto countOffset = optional + (magic == pe32PlusMagic ? 108 : 92);
        uint32_t directoryCount = 0, resourceRva = 0, resourceSize = 0;

        if (! reader.read32 (countOffset, directoryCount))
            return juce::Result::fail ("has a truncated PE optional header");

        const auto resourceEntry = countOffset + 4 + (uint64_t) resourceDirectoryIndex * 8;

        if (directoryCount <= resourceDirectoryIndex || resourceEntry + 8 > optional + optionalSize
            || ! reader.read32 (resourceEntry, resourceRva) || ! reader.read32 (resourceEntry + 4, resourceSize)
            || resourceRva == 0 || resourceSize == 0)
            return juce::Result::fail ("has no resources, so no version resource");

        juce::Array<Section> sections;

        for (uint32_t i = 0; i < sectionCount; ++i)
        {
            const auto header = optional + optionalSize + (uint64_t) i * 40;
            Section s;

            if (! reader.read32 (header + 8, s.virtualSize) || ! reader.read32 (header + 12, s.virtualAddress)
                || ! reader.read32 (header + 16, s.rawSize) || ! reader.read32 (header + 20, s.rawOffset))
                return juce::Result::fail ("has a truncated section table");

            sections.add (s);
        }

        uint64_t resourceBase = 0;

        if (! fileOffsetOf (sections, resourceRva, 16, resourceBase))
            return juce::Result::fail ("has a resource directory outside its sections");

        // Three levels: type, name, language. The version API takes type 16, ID 1, any language.
        const struct
        {
            uint32_t id;
            bool anyId;
        } levels[] = { { rtVersion, false }, { versionInfoId, false }, { 0, true } };

        auto table = resourceBase;
        uint32_t offsetToData = 0;

        for (size_t level = 0; level < std::size (levels); ++level)
        {
            if (! findResourceEntry (reader, table, levels[level].id, levels[level].anyId, offsetToData))
                return juce::Result::fail ("carries no version resource");

            const auto isSubdirectory = (offsetToData & subdirectoryFlag) != 0;

            if (isSubdirectory != (level + 1 < std::size (levels)))
                return juce::Result::fail ("has a malformed resource directory");

            table = resourceBase + (offsetToData & ~subdirectoryFlag);
        }

        uint32_t dataRva = 0, dataSize = 0;
        uint64_t block = 0;

        if (! reader.read32 (table, dataRva) || ! reader.read32 (table + 4, dataSize)
            || ! fileOffsetOf (sections, dataRva, dataSize, block))
            return juce::Result::fail ("has a version resource outside its sections");

        // VS_VERSIONINFO: wLength, wValueLength, wType, the key "VS_VERSION_INFO" in UTF-16, padding to
        // a 32-bit boundary, then VS_FIXEDFILEINFO.
        const juce::String expectedKey ("VS_VERSION_INFO");
        uint32_t valueLength = 0;

        if (! reader.read16 (block + 2, valueLength))
            return juce::Result::fail ("has a truncated version resource");

        for (int i = 0; i <= expectedKey.length(); ++i)
        {
            uint32_t unit = 0;

            if (! reader.read16 (block + 6 + (uint64_t) i * 2, unit) || unit != (uint32_t) expectedKey[i])
                return juce::Result::fail ("has a version resource without the VS_VERSION_INFO key");
        }

        const auto fixed = block + ((6 + (uint64_t) (expectedKey.length() + 1) * 2 + 3) & ~(uint64_t) 3);
        uint32_t fixedSignature = 0, fileMost = 0, fileLeast = 0;

        if (valueLength < fixedFileInfoSize || fixed + fixedFileInfoSize > block + dataSize
            || ! reader.read32 (fixed, fixedSignature) || fixedSignature != fixedFileInfoSignature
            || ! reader.read32 (fixed + 8, fileMost) || ! reader.read32 (fixed + 12, fileLeast))
            return juce::Result::fail ("has a version resource without fixed file information");

        version = versionString (fileMost, fileLeast);
        return juce::Result::ok();
    }
}

#pragma once

#include "install/InstallEngine.h"
#include <juce_core/juce_core.h>
#include <vector>

/** Zip archives made in memory for the tests: proper ones through JUCE's own writer, and broken
    or hostile ones byte by byte. */
namespace testzip
{
    inline juce::MemoryBlock bytes (const juce::String& text)
    {
        return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
    }

    inline qv::ArchiveBytes archiveOf (const juce::MemoryBlock& block)
    {
        return { block.getData(), block.getSize() };
    }

    struct Entry
    {
        juce::String name;
        juce::MemoryBlock data;
    };

    /** Written by juce::ZipFile::Builder; a name ending in a separator makes a folder entry. */
    inline juce::MemoryBlock build (const std::vector<Entry>& entries, int compressionLevel = 6)
    {
        juce::ZipFile::Builder builder;

        for (const auto& entry : entries)
        {
            const bool folder = entry.name.endsWithChar ('\\') || entry.name.endsWithChar ('/');
            builder.addEntry (new juce::MemoryInputStream (entry.data, true), folder ? 0 : compressionLevel,
                              entry.name, juce::Time (2025, 0, 1, 0, 0));
        }

        juce::MemoryOutputStream out;
        builder.writeToStream (out, nullptr);
        return out.getMemoryBlock();
    }

    struct RawEntry
    {
        juce::String name;
        juce::MemoryBlock data;
        juce::uint32 externalAttributes = 0;
    };

    /** Unix mode bits for a symbolic link, as zip tools store them in the external attributes. */
    constexpr juce::uint32 symbolicLinkAttributes = 0120777u << 16;

    inline juce::uint32 crc32 (const juce::MemoryBlock& data)
    {
        juce::uint32 crc = 0xffffffffu;

        for (size_t i = 0; i < data.getSize(); ++i)
        {
            crc ^= (juce::uint8) data[i];

            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }

        return ~crc;
    }

    /** Stored entries with any names and attributes, as no careful writer would make them. */
    inline juce::MemoryBlock handWritten (const std::vector<RawEntry>& entries)
    {
        juce::MemoryOutputStream out;
        std::vector<juce::int64> offsets;

        const auto writeCommon = [&out] (const RawEntry& entry) {
            const auto size = (int) entry.data.getSize();
            out.writeShort (20);                                 // version needed
            out.writeShort (0);                                  // flags
            out.writeShort (0);                                  // stored
            out.writeShort (0);                                  // time
            out.writeShort ((short) ((45 << 9) | (1 << 5) | 1)); // date: 2025-01-01
            out.writeInt ((int) crc32 (entry.data));
            out.writeInt (size);
            out.writeInt (size);
            out.writeShort ((short) entry.name.getNumBytesAsUTF8());
            out.writeShort (0); // extra field
        };

        for (const auto& entry : entries)
        {
            offsets.push_back (out.getPosition());
            out.writeInt (0x04034b50);
            writeCommon (entry);
            out.write (entry.name.toRawUTF8(), entry.name.getNumBytesAsUTF8());
            out.write (entry.data.getData(), entry.data.getSize());
        }

        const auto directoryStart = out.getPosition();

        for (size_t i = 0; i < entries.size(); ++i)
        {
            const auto& entry = entries[i];
            out.writeInt (0x02014b50);
            out.writeShort (entry.externalAttributes != 0 ? (short) 0x0314 : (short) 20); // made by Unix or DOS
            writeCommon (entry);
            out.writeShort (0); // comment
            out.writeShort (0); // disk
            out.writeShort (0); // internal attributes
            out.writeInt ((int) entry.externalAttributes);
            out.writeInt ((int) offsets[i]);
            out.write (entry.name.toRawUTF8(), entry.name.getNumBytesAsUTF8());
        }

        const auto directoryEnd = out.getPosition();
        out.writeInt (0x06054b50);
        out.writeShort (0);
        out.writeShort (0);
        out.writeShort ((short) entries.size());
        out.writeShort ((short) entries.size());
        out.writeInt ((int) (directoryEnd - directoryStart));
        out.writeInt ((int) directoryStart);
        out.writeShort (0);

        return out.getMemoryBlock();
    }
}

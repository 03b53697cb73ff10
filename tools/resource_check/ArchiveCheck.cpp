#include "ArchiveCheck.h"
#include "catalogue/Catalogue.h"
#include "catalogue/FormatTable.h"
#include "EntryNameRules.h"
#include "PeVersion.h"
#include "ZipDirectory.h"
#include <set>
#include <zlib.h>

namespace qv::resourcecheck
{
    namespace
    {
        constexpr uint32_t methodStored = 0;
        constexpr uint32_t methodDeflated = 8;
        constexpr uint32_t flagEncrypted = 1;

        juce::String quoted (const juce::String& name)
        {
            return "\"" + name + "\"";
        }

        /** Decompresses an entry as the installer would and compares size and checksum with the
            directory; keeps the bytes when `keep` is given. */
        juce::Result readEntry (juce::ZipFile& zip, int index, const ZipDirectoryEntry& entry, juce::MemoryBlock* keep)
        {
            std::unique_ptr<juce::InputStream> stream (zip.createStreamForEntry (index));

            if (stream == nullptr)
                return juce::Result::fail ("cannot be opened");

            auto crc = crc32 (0, nullptr, 0);
            uint64_t total = 0;
            juce::HeapBlock<char> buffer (1 << 16);

            for (;;)
            {
                const auto got = stream->read (buffer.get(), 1 << 16);

                if (got <= 0)
                    break;

                crc = crc32 (crc, reinterpret_cast<const Bytef*> (buffer.get()), (uInt) got);
                total += (uint64_t) got;

                if (keep != nullptr)
                    keep->append (buffer.get(), (size_t) got);
            }

            if (total != entry.uncompressedSize)
                return juce::Result::fail ("is damaged: it gives " + juce::String ((juce::int64) total) + " bytes instead of "
                                           + juce::String ((juce::int64) entry.uncompressedSize));

            if (crc != entry.crc32)
                return juce::Result::fail ("is damaged: its data does not match its CRC-32");

            return juce::Result::ok();
        }
    }

    ArchiveRules archiveRulesFor (const juce::String& format, const juce::String& productName,
                                  const juce::String& platform, const juce::String& moduleVersion)
    {
        ArchiveRules rules;
        rules.moduleVersion = moduleVersion;
        const auto windows = platform == "windows";
        auto index = 1; // CLAP, the single-file bundle, unless the format names another

        for (int i = 0; i < qv::numFormats; ++i)
            if (format.equalsIgnoreCase (qv::formatTable[(size_t) i].name))
                index = i;

        const auto& facts = qv::formatTable[(size_t) index];
        rules.bundleName = productName + facts.extension;
        rules.bundleIsFile = ! facts.bundleIsFolder;

        if (windows && facts.windowsModuleHasVersion)
            rules.versionedModules.add (rules.bundleName + "\\"
                                        + qv::modulePathInBundle (index, true, productName).replaceCharacter ('/', '\\'));

        return rules;
    }

    juce::StringArray checkArchive (const juce::MemoryBlock& archive, const ArchiveRules& rules)
    {
        juce::StringArray problems;

        // The installer reads the archive exactly like this.
        juce::MemoryInputStream stream (archive, false);
        juce::ZipFile zip (stream);

        std::vector<ZipDirectoryEntry> directory;
        const auto directoryRead = readZipDirectory (archive.getData(), archive.getSize(), directory);

        if (zip.getNumEntries() == 0)
        {
            problems.add ("does not open as a zip archive: "
                          + (directoryRead.failed() ? directoryRead.getErrorMessage() : juce::String ("it has no entries")));
            return problems;
        }

        if (directoryRead.failed())
        {
            problems.add ("has a zip directory that cannot be read: " + directoryRead.getErrorMessage());
            return problems;
        }

        if ((int) directory.size() != zip.getNumEntries())
        {
            problems.add ("lists " + juce::String ((int) directory.size()) + " entries, but juce::ZipFile finds "
                          + juce::String (zip.getNumEntries()));
            return problems;
        }

        // Each versioned module: its bytes once read whole; an unreadable one is reported where it is read.
        enum class ModuleState
        {
            missing,
            read,
            damaged
        };
        std::vector<juce::MemoryBlock> modules ((size_t) rules.versionedModules.size());
        std::vector<ModuleState> moduleStates ((size_t) rules.versionedModules.size(), ModuleState::missing);

        std::set<juce::String> seenNames;

        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto& entry = directory[(size_t) i];
            const auto name = quoted (entry.name);

            if (zip.getEntry (i)->filename != entry.name)
            {
                problems.add ("entry " + juce::String (i) + " has a different name in juce::ZipFile: " + quoted (zip.getEntry (i)->filename));
                continue;
            }

            problems.addArray (checkEntryName (entry.name, rules.bundleName, rules.bundleIsFile));

            if (! seenNames.insert (entry.name).second)
                problems.add ("entry " + name + " appears more than once");

            // juce::ZipFile extracts an entry as a link when the top four bits of its external
            // attributes are 0xA, whatever system made the archive.
            if (zip.getEntry (i)->isSymbolicLink)
                problems.add ("entry " + name + " is a symbolic link (external attributes 0x"
                              + juce::String::toHexString ((juce::int64) zip.getEntry (i)->externalFileAttributes) + ")");

            const auto moduleIndex = rules.versionedModules.indexOf (entry.name);
            auto readResult = juce::Result::ok();

            if ((entry.flags & flagEncrypted) != 0)
            {
                readResult = juce::Result::fail ("is encrypted");
            }
            else if (entry.method != methodStored && entry.method != methodDeflated)
            {
                readResult = juce::Result::fail ("uses compression method " + juce::String ((int) entry.method)
                                                 + ", which juce::ZipFile cannot extract");
            }
            else
            {
                auto* keep = moduleIndex >= 0 ? &modules[(size_t) moduleIndex] : nullptr;

                if (keep != nullptr)
                    keep->reset();

                readResult = readEntry (zip, i, entry, keep);
            }

            if (readResult.failed())
                problems.add ("entry " + name + " " + readResult.getErrorMessage());

            if (moduleIndex >= 0)
                moduleStates[(size_t) moduleIndex] = readResult.wasOk() ? ModuleState::read : ModuleState::damaged;
        }

        for (int m = 0; m < rules.versionedModules.size(); ++m)
        {
            const auto name = quoted (rules.versionedModules[m]);

            if (moduleStates[(size_t) m] == ModuleState::damaged)
                continue;

            if (moduleStates[(size_t) m] == ModuleState::missing)
            {
                problems.add ("has no module " + name + " (it must carry file version " + rules.moduleVersion + ")");
                continue;
            }

            juce::String version;
            const auto& bytes = modules[(size_t) m];
            const auto result = readPeFileVersion (bytes.getData(), bytes.getSize(), version);

            if (result.failed())
                problems.add ("module " + name + " " + result.getErrorMessage() + " (it must carry file version "
                              + rules.moduleVersion + ")");
            else if (version != rules.moduleVersion)
                problems.add ("module " + name + " has file version " + version + ", not " + rules.moduleVersion);
        }

        return problems;
    }
}

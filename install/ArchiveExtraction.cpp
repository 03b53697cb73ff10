#include "ArchiveExtraction.h"
#include "ArchiveInputStream.h"
#include "BundleSiblings.h"
#include "FlushBehind.h"

namespace qv
{
    static bool isDeviceName (const juce::String& component)
    {
        static const juce::StringArray devices { "CON", "PRN", "AUX", "NUL",
                                                 "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                                                 "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9" };

        return devices.contains (component.upToFirstOccurrenceOf (".", false, false).trimEnd(), true);
    }

    juce::String problemWithEntryName (const juce::String& entryName, const juce::String& bundleName)
    {
        auto name = entryName.replaceCharacter ('\\', '/');

        if (name.isEmpty())
            return "an entry has no name";

        for (auto c : name)
            if (c < 0x20 || c == 0x7f || c == ':')
                return "entry " + entryName + " holds a character that no bundle file name may hold";

        if (name.startsWithChar ('/'))
            return "entry " + entryName + " is an absolute path";

        if (name.endsWithChar ('/'))
            name = name.dropLastCharacters (1);

        const auto components = juce::StringArray::fromTokens (name, "/", {});

        for (const auto& component : components)
            if (component.isEmpty() || component == "." || component == ".." || isDeviceName (component))
                return "entry " + entryName + " has a name that climbs out of or around the bundle";

        if (components[0] != bundleName)
            return "entry " + entryName + " lies outside the bundle " + bundleName;

        return {};
    }

    // True when something between `root` and `folder` (not `root` itself) is a symbolic link.
    static bool leadsThroughLink (const juce::File& root, const juce::File& folder)
    {
        for (auto f = folder; f != root; f = f.getParentDirectory())
            if (f.isSymbolicLink())
                return true;

        return false;
    }

    static Problem damaged (const juce::String& detail)
    {
        return Problem::of (Problem::Kind::damagedArchive, {}, detail);
    }

    static Problem notWritten (const juce::File& f, const juce::String& detail)
    {
        return Problem::of (Problem::Kind::notWritten, f, detail);
    }

    // juce::ZipFile::uncompressEntry for a file entry, with the same refusals, but copying in large
    // blocks: its own loop goes through an 8 KB and a 16 KB buffer and makes a system call per 16 KB.
    static Problem extractFileEntry (juce::ZipFile& zip, int index, const juce::File& targetFolder)
    {
        constexpr int blockSize = 256 * 1024;

        const auto& entry = *zip.getEntry (index);
        const auto targetFile = targetFolder.getChildFile (entry.filename.replaceCharacter ('\\', '/'));

        if (! targetFile.isAChildOf (targetFolder))
            return damaged ("Entry " + entry.filename + " is outside the target directory");

        std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));

        if (in == nullptr)
            return damaged ("Entry " + entry.filename + " cannot be read from the archive");

        if (targetFile.exists() && ! targetFile.deleteFile())
            return notWritten (targetFile, "Failed to write to target file: " + targetFile.getFullPathName());

        if (leadsThroughLink (targetFolder, targetFile.getParentDirectory()))
            return notWritten (targetFile, "Parent directory leads through symlink for target file: " + targetFile.getFullPathName());

        if (const auto parent = targetFile.getParentDirectory(); ! parent.createDirectory())
            return notWritten (parent, "Failed to create target folder: " + parent.getFullPathName());

        bool writeFailed = false;

        {
            juce::FileOutputStream out (targetFile);

            if (out.failedToOpen())
                return notWritten (targetFile, "Failed to write to target file: " + targetFile.getFullPathName());

            platform::FlushBehind flushBehind (targetFile);
            juce::HeapBlock<char> block (blockSize);
            juce::int64 written = 0;

            // A write that fails (a full disk) ends the copy.
            for (int n; (n = in->read (block, blockSize)) > 0; flushBehind.written (written += n))
            {
                if (! out.write (block, (size_t) n))
                {
                    writeFailed = true;
                    break;
                }
            }

            if (! flushBehind.finish())
                return notWritten (targetFile, "Could not write " + targetFile.getFullPathName() + " to the disk");

            out.flush();
            writeFailed = writeFailed || out.getStatus().failed();
        }

        targetFile.setCreationTime (entry.fileTime);
        targetFile.setLastModificationTime (entry.fileTime);
        targetFile.setLastAccessTime (entry.fileTime);

        const auto size = targetFile.getSize();

        if (writeFailed || ! targetFile.existsAsFile() || targetFile.isSymbolicLink())
        {
            const auto written = juce::String (size) + " of " + juce::String (entry.uncompressedSize) + " bytes";
            return notWritten (targetFile, "Writing " + targetFile.getFullPathName() + " stopped at " + written);
        }

        // Every write went through, so a short file means the archive stopped decoding early.
        if (size != entry.uncompressedSize)
            return damaged ("Extracting " + entry.filename + " gave " + juce::String (size) + " of "
                            + juce::String (entry.uncompressedSize) + " bytes: the archive is damaged");

        return {};
    }

    static constexpr juce::int64 diskBlock = 4096;

    juce::int64 extractedSizeOf (const void* archiveData, size_t archiveSize)
    {
        if (archiveData == nullptr || archiveSize == 0)
            return 0;

        ArchiveInputStream stream (archiveData, archiveSize);
        juce::ZipFile zip (stream);
        juce::int64 total = 0;

        for (int i = 0; i < zip.getNumEntries(); ++i)
            total += (juce::jmax ((juce::int64) 0, zip.getEntry (i)->uncompressedSize) + diskBlock - 1) / diskBlock * diskBlock
                + (zip.getEntry (i)->filename.endsWithChar ('\\') || zip.getEntry (i)->filename.endsWithChar ('/') ? diskBlock : 0);

        return total;
    }

    Problem extractBundleArchive (const void* archiveData, size_t archiveSize,
                                  const juce::File& targetFolder, const juce::String& bundleName)
    {
        if (archiveData == nullptr || archiveSize == 0)
            return damaged ("There is no archive for " + bundleName);

        ArchiveInputStream stream (archiveData, archiveSize);
        juce::ZipFile zip (stream);

        if (zip.getNumEntries() == 0)
            return damaged ("The archive for " + bundleName + " holds no readable entries");

        // ZipFile creates link entries, and creates folder entries even through a link, so neither
        // may reach it. Checking everything first also means a bad archive writes nothing.
        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto& entry = *zip.getEntry (i);

            if (entry.isSymbolicLink)
                return damaged ("Entry " + entry.filename + " is a symbolic link");

            const auto problem = problemWithEntryName (entry.filename, bundleName);

            if (problem.isNotEmpty())
                return damaged ("The archive for " + bundleName + " is unsafe: " + problem);
        }

        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto& name = zip.getEntry (i)->filename;

            if (name.replaceCharacter ('\\', '/').endsWithChar ('/'))
            {
                if (const auto created = zip.uncompressEntry (i, targetFolder, true); created.failed())
                    return notWritten (targetFolder, created.getErrorMessage());
            }
            else if (auto extracted = extractFileEntry (zip, i, targetFolder); extracted.failed())
            {
                return extracted;
            }
        }

        if (! existsAtAll (targetFolder.getChildFile (bundleName)))
            return damaged ("The archive holds no " + bundleName);

        return {};
    }

    juce::Result flushFilesToDisk (const juce::File& folder)
    {
        for (const auto& file : folder.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no))
        {
            if (file.isSymbolicLink())
                continue;

            juce::FileOutputStream out (file);
            out.flush();

            if (out.failedToOpen() || out.getStatus().failed())
                return juce::Result::fail ("Could not write " + file.getFullPathName() + ": " + out.getStatus().getErrorMessage());
        }

        return juce::Result::ok();
    }
}

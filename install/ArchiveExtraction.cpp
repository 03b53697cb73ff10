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

// juce::ZipFile::uncompressEntry for a file entry, with the same refusals, but copying in large
// blocks: its own loop goes through an 8 KB and a 16 KB buffer and makes a system call per 16 KB.
static juce::Result extractFileEntry (juce::ZipFile& zip, int index, const juce::File& targetFolder)
{
    constexpr int blockSize = 256 * 1024;

    const auto& entry = *zip.getEntry (index);
    const auto targetFile = targetFolder.getChildFile (entry.filename.replaceCharacter ('\\', '/'));

    if (! targetFile.isAChildOf (targetFolder))
        return juce::Result::fail ("Entry " + entry.filename + " is outside the target directory");

    std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (index));

    if (in == nullptr)
        return juce::Result::fail ("Failed to open the zip file for reading");

    if (targetFile.exists() && ! targetFile.deleteFile())
        return juce::Result::fail ("Failed to write to target file: " + targetFile.getFullPathName());

    if (leadsThroughLink (targetFolder, targetFile.getParentDirectory()))
        return juce::Result::fail ("Parent directory leads through symlink for target file: " + targetFile.getFullPathName());

    if (! targetFile.getParentDirectory().createDirectory())
        return juce::Result::fail ("Failed to create target folder: " + targetFile.getParentDirectory().getFullPathName());

    {
        juce::FileOutputStream out (targetFile);

        if (out.failedToOpen())
            return juce::Result::fail ("Failed to write to target file: " + targetFile.getFullPathName());

        platform::FlushBehind flushBehind (targetFile);
        juce::HeapBlock<char> block (blockSize);
        juce::int64 written = 0;

        // A write that fails (a full disk) ends the copy; the size check below reports it.
        for (int n; (n = in->read (block, blockSize)) > 0; flushBehind.written (written += n))
            if (! out.write (block, (size_t) n))
                break;

        if (! flushBehind.finish())
            return juce::Result::fail ("Could not write " + targetFile.getFullPathName() + " to the disk");
    }

    targetFile.setCreationTime (entry.fileTime);
    targetFile.setLastModificationTime (entry.fileTime);
    targetFile.setLastAccessTime (entry.fileTime);

    // The copy ends quietly on a truncated write (full disk) and on a stream that stops decoding
    // early (damaged archive); the size tells.
    const auto size = targetFile.getSize();

    if (! targetFile.existsAsFile() || targetFile.isSymbolicLink() || size != entry.uncompressedSize)
        return juce::Result::fail ("Extracting " + entry.filename + " gave " + juce::String (size) + " of "
                                   + juce::String (entry.uncompressedSize) + " bytes (disk full or archive damaged)");

    return juce::Result::ok();
}

juce::Result extractBundleArchive (const void* archiveData, size_t archiveSize,
                                   const juce::File& targetFolder, const juce::String& bundleName)
{
    if (archiveData == nullptr || archiveSize == 0)
        return juce::Result::fail ("There is no archive for " + bundleName);

    ArchiveInputStream stream (archiveData, archiveSize);
    juce::ZipFile zip (stream);

    if (zip.getNumEntries() == 0)
        return juce::Result::fail ("The archive for " + bundleName + " holds no readable entries");

    // ZipFile creates link entries, and creates folder entries even through a link, so neither
    // may reach it. Checking everything first also means a bad archive writes nothing.
    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const auto& entry = *zip.getEntry (i);

        if (entry.isSymbolicLink)
            return juce::Result::fail ("Entry " + entry.filename + " is a symbolic link");

        const auto problem = problemWithEntryName (entry.filename, bundleName);

        if (problem.isNotEmpty())
            return juce::Result::fail ("The archive for " + bundleName + " is unsafe: " + problem);
    }

    for (int i = 0; i < zip.getNumEntries(); ++i)
    {
        const bool isFolder = zip.getEntry (i)->filename.replaceCharacter ('\\', '/').endsWithChar ('/');
        const auto extracted = isFolder ? zip.uncompressEntry (i, targetFolder, true) : extractFileEntry (zip, i, targetFolder);

        if (extracted.failed())
            return extracted;
    }

    if (! existsAtAll (targetFolder.getChildFile (bundleName)))
        return juce::Result::fail ("The archive holds no " + bundleName);

    return juce::Result::ok();
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

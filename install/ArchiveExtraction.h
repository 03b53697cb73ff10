#pragma once

#include <juce_core/juce_core.h>

namespace qv
{
    /** Why an archive entry may not be extracted for the bundle `bundleName`, or empty when it may.
        Entries must lie inside the bundle, and no part of their name may climb, be empty, name a
        drive, a stream or a device, or hold a control character. */
    juce::String problemWithEntryName (const juce::String& entryName, const juce::String& bundleName);

    /** Extracts the bundle `bundleName` from a zip archive held in memory into `targetFolder`,
        which must be an empty folder of the caller's making. The archive is read in place, never
        copied. Every entry is checked before the first is written; links are refused; a file that
        comes out short (a damaged archive, a full disk) fails the extraction. The files may still
        be only in memory: see flushFilesToDisk. On failure the folder may hold a partial bundle,
        which the caller deletes. */
    juce::Result extractBundleArchive (const void* archiveData, size_t archiveSize,
                                       const juce::File& targetFolder, const juce::String& bundleName);

    /** Writes every file under `folder` through to the disk, so that a power cut after a bundle is
        renamed into place cannot leave it with truncated or empty files. */
    juce::Result flushFilesToDisk (const juce::File& folder);
}

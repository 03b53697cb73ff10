#pragma once

#include "RunProblem.h"
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
        comes out short fails the extraction, as a damaged archive when the archive stopped giving
        data and as not written when the disk took less than it was given. The files may still be
        only in memory: see flushFilesToDisk. On failure the folder may hold a partial bundle, which
        the caller deletes. */
    Problem extractBundleArchive (const void* archiveData, size_t archiveSize,
                                  const juce::File& targetFolder, const juce::String& bundleName);

    /** The space the extracted bundle takes on a disk: every file rounded up to whole 4 KB
        blocks, and a block for every folder. 0 when the archive cannot be read. */
    juce::int64 extractedSizeOf (const void* archiveData, size_t archiveSize);

    /** Writes every file under `folder` through to the disk, so that a power cut after a bundle is
        renamed into place cannot leave it with truncated or empty files. */
    juce::Result flushFilesToDisk (const juce::File& folder);
}

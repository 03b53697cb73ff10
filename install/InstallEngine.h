#pragma once

#include "BundleUsers.h"
#include "RunProblem.h"
#include <juce_core/juce_core.h>
#include <array>
#include <functional>

/** Installs, updates and removes the product's bundles. Plain code over the folders and archive
    bytes it is given, so that tests drive it directly with temporary folders. */
namespace qv
{
    /** A format's zip archive as it lies in memory (normally the embedded resource). It is read in
        place; the engine never copies it. */
    struct ArchiveBytes
    {
        const void* data = nullptr;
        size_t size = 0;
    };

    struct RunRequest
    {
        std::array<juce::File, 3> formatFolders;
        juce::String productName;
        std::array<bool, 3> selected { false, false, false };
        bool uninstall = false;
        std::array<ArchiveBytes, 3> archives;

        /** Which programs hold a bundle's files; asked before a bundle is replaced or removed. */
        std::function<juce::StringArray (const juce::File& bundle)> programsUsing = platform::programsUsing;

        /** True when a bundle held by a program must be left untouched (see platform::programsInUseBlockChanges). */
        bool programsInUseBlockChanges = platform::programsInUseBlockChanges();
    };

    struct RunOutcome
    {
        /** True only when at least one format was processed and every processed format succeeded. */
        bool succeeded = false;

        /** Which formats the run processed (every selected one, whatever its outcome). */
        std::array<bool, 3> processed { false, false, false };

        /** Each processed format's result, with the technical reason of a failure. */
        std::array<juce::Result, 3> results { juce::Result::ok(), juce::Result::ok(), juce::Result::ok() };

        /** Each processed format's failure, as the screen explains it. */
        std::array<Problem, 3> problems;

        /** True when the run did not start because another run held the same folders too long. */
        bool otherRunBusy = false;

        /** Programs that still run a format's old version after it was replaced or removed, where
            the platform let the run go on while they held it. */
        std::array<juce::StringArray, 3> stillRunningOld;
    };

    /** Processes the selected formats in format-index order: installs (or updates) each from its
        archive, or removes it when `uninstall` is set.

        An update never leaves a broken bundle: the archive is extracted beside the bundle and
        swapped in by renames only once complete, and on any failure the old bundle stays as it
        was. A removal first renames the bundle aside, so it never leaves half a bundle in place.
        A link at or inside a bundle is never followed. An install that would not fit on the disk
        is refused before anything is written. A bundle that running programs hold is left
        untouched where the platform needs that, and otherwise replaced with those programs named. Before acting, the run clears what an
        interrupted earlier run left beside any of the three bundles. With nothing selected,
        nothing is touched and the run fails.

        Every file is flushed to the disk before its bundle is put in place. A first install's
        flush runs on a second thread while the next format is extracted; bundles still appear
        in format order. */
    RunOutcome processFormats (const RunRequest& request);

    /** Removes one bundle; ok when there was none. */
    juce::Result uninstallBundle (const juce::File& bundle);

    /** Clears what an interrupted run left beside `bundle`: a partial extraction is deleted, and a
        former bundle moved aside is put back when the bundle path is empty, or deleted when a
        newer bundle is in place. Fails when something could not be cleared. */
    juce::Result recoverInterruptedRun (const juce::File& bundle);

    /** recoverInterruptedRun for the three formats' bundles, e.g. at start-up before the installed
        state is first shown. */
    void recoverInterruptedRuns (const std::array<juce::File, 3>& formatFolders, const juce::String& productName);
}

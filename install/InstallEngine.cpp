#include "InstallEngine.h"
#include "ArchiveExtraction.h"
#include "BundleSiblings.h"
#include "FileMove.h"
#include "FolderAccess.h"
#include "InstalledState.h"
#include "catalogue/Catalogue.h"
#include <algorithm>
#include <future>
#include <optional>
#include <system_error>

namespace qv
{
    static juce::Result combine (const juce::Result& first, const juce::Result& second)
    {
        if (first.wasOk())
            return second;

        return second.wasOk() ? first : juce::Result::fail (first.getErrorMessage() + "; " + second.getErrorMessage());
    }

    // The empty folder's child is a child of the file system's root.
    static bool isUsableFormatFolder (const juce::File& folder)
    {
        return folder.getFullPathName().isNotEmpty();
    }

    juce::Result recoverInterruptedRun (const juce::File& bundle)
    {
        const auto siblings = siblingsOf (bundle);
        auto result = combine (removeEntirely (siblings.staging), removeEntirely (siblings.removing));

        if (! existsAtAll (siblings.previous))
            return result;

        // A previous bundle is always complete: it got its name in one rename from the bundle path.
        if (! existsAtAll (bundle))
            return combine (result, platform::moveWithoutReplacing (siblings.previous, bundle));

        auto cleared = platform::moveWithoutReplacing (siblings.previous, siblings.removing);

        if (cleared.wasOk())
            cleared = removeEntirely (siblings.removing);

        return combine (result, cleared);
    }

    void recoverInterruptedRuns (const std::array<juce::File, 3>& formatFolders, const juce::String& productName)
    {
        for (int index = 0; index < numFormats; ++index)
            if (isUsableFormatFolder (formatFolders[(size_t) index]))
                recoverInterruptedRun (bundleFileFor (formatFolders[(size_t) index], productName, index));
    }

    // A step that could not create or change something in `folder` failed for want of rights when
    // the folder cannot be written at all, and for the step's own reason otherwise.
    static Problem unlessUnwritable (const juce::File& folder, Problem::Kind otherwise, const juce::File& place, const juce::String& detail)
    {
        if (! platform::canCreateEntriesIn (folder))
            return Problem::of (Problem::Kind::noPermission, folder, detail);

        return Problem::of (otherwise, place, detail);
    }

    static Problem notWritten (const juce::File& place, const juce::Result& why)
    {
        return Problem::of (Problem::Kind::notWritten, place, why.getErrorMessage());
    }

    static Problem withCleanUp (Problem problem, const juce::Result& cleanUp)
    {
        if (cleanUp.failed())
            problem.detail << "; " << cleanUp.getErrorMessage();

        return problem;
    }

    // Refuses an install that cannot fit before it writes anything: the new bundle is extracted in
    // full beside the old one.
    static Problem checkFreeSpace (const juce::File& folder, juce::int64 needed)
    {
        const auto available = platform::bytesFreeFor (folder);

        if (! available.has_value() || needed <= *available)
            return {};

        auto problem = Problem::of (Problem::Kind::notEnoughSpace, folder,
                                    "Extracting needs " + juce::String (needed) + " bytes, " + juce::String (*available) + " are free");
        problem.bytesNeeded = needed;
        problem.bytesFree = *available;
        return problem;
    }

    // Everything up to a complete bundle in the staging folder, not yet flushed to the disk. On
    // failure nothing is left behind.
    static Problem stageBundle (const juce::File& bundle, const ArchiveBytes& archive)
    {
        if (archive.data == nullptr || archive.size == 0)
            return Problem::of (Problem::Kind::damagedArchive, {}, "There is no archive for " + bundle.getFileName());

        const auto folder = bundle.getParentDirectory();

        if (const auto created = folder.createDirectory(); created.failed())
            return unlessUnwritable (folder, Problem::Kind::folderNotCreated, folder,
                                     "Could not create " + folder.getFullPathName() + ": " + created.getErrorMessage());

        const auto siblings = siblingsOf (bundle);

        if (existsAtAll (siblings.staging) || existsAtAll (siblings.previous))
            return unlessUnwritable (folder, Problem::Kind::oldBundleNotRemoved, bundle,
                                     "An earlier run left files beside " + bundle.getFullPathName() + " that cannot be cleared");

        const auto needed = extractedSizeOf (archive.data, archive.size);

        if (auto tooLarge = checkFreeSpace (folder, needed); tooLarge.failed())
            return tooLarge;

        if (const auto created = siblings.staging.createDirectory(); created.failed() || siblings.staging.isSymbolicLink())
            return unlessUnwritable (folder, Problem::Kind::notWritten, folder,
                                     "Could not create " + siblings.staging.getFullPathName() + ": " + created.getErrorMessage());

        auto extracted = extractBundleArchive (archive.data, archive.size, siblings.staging, bundle.getFileName());

        if (! extracted.failed())
            return extracted;

        // A write the disk refused while the free space is about gone was the space running out.
        constexpr juce::int64 nearlyFull = 1024 * 1024;
        const auto left = platform::bytesFreeFor (folder);
        const bool spaceRanOut = extracted.kind == Problem::Kind::notWritten && left.has_value() && *left < nearlyFull;

        extracted = withCleanUp (extracted, removeEntirely (siblings.staging));

        if (spaceRanOut)
        {
            extracted.kind = Problem::Kind::notEnoughSpace;
            extracted.place = folder;
            extracted.bytesNeeded = needed;
            extracted.bytesFree = platform::bytesFreeFor (folder).value_or (0);
        }

        return extracted;
    }

    // Puts the staged bundle in place once `flushed` says its files are on the disk. On failure the
    // staging folder goes and whatever was at the bundle path stays as it was.
    static Problem swapInStagedBundle (const juce::File& bundle, const juce::Result& flushed)
    {
        const auto siblings = siblingsOf (bundle);
        const auto folder = bundle.getParentDirectory();
        const auto abandon = [&] (const Problem& why) { return withCleanUp (why, removeEntirely (siblings.staging)); };

        if (flushed.failed())
            return abandon (notWritten (folder, flushed));

        const bool replacing = existsAtAll (bundle);

        if (replacing)
            if (const auto movedAside = platform::moveWithoutReplacing (bundle, siblings.previous); movedAside.failed())
                return abandon (unlessUnwritable (folder, Problem::Kind::oldBundleNotRemoved, bundle, movedAside.getErrorMessage()));

        if (const auto movedIn = platform::moveWithoutReplacing (siblings.staging.getChildFile (bundle.getFileName()), bundle);
            movedIn.failed())
        {
            // Put the old bundle back; should even that fail, the next run's recovery does it.
            if (replacing)
                platform::moveWithoutReplacing (siblings.previous, bundle);

            return abandon (unlessUnwritable (folder, Problem::Kind::notWritten, bundle, movedIn.getErrorMessage()));
        }

        // The new bundle is in place. What remains is tidying, which the next run repeats if needed.
        removeEntirely (siblings.staging);

        if (replacing && platform::moveWithoutReplacing (siblings.previous, siblings.removing).wasOk())
            removeEntirely (siblings.removing);

        return {};
    }

    static Problem removeBundle (const juce::File& bundle)
    {
        const auto siblings = siblingsOf (bundle);
        const auto folder = bundle.getParentDirectory();

        if (existsAtAll (bundle))
        {
            if (const auto cleared = removeEntirely (siblings.removing); cleared.failed())
                return unlessUnwritable (folder, Problem::Kind::oldBundleNotRemoved, bundle, cleared.getErrorMessage());

            if (const auto movedAside = platform::moveWithoutReplacing (bundle, siblings.removing); movedAside.failed())
                return unlessUnwritable (folder, Problem::Kind::oldBundleNotRemoved, bundle, movedAside.getErrorMessage());
        }

        // A former bundle left aside by a failed recovery goes too, so that nothing can bring it back.
        const auto removed = combine (removeEntirely (siblings.removing), removeEntirely (siblings.previous));

        if (removed.failed())
            return unlessUnwritable (folder, Problem::Kind::oldBundleNotRemoved, bundle,
                                     bundle.getFileName() + " is no longer installed, but some of its files could not be deleted: "
                                         + removed.getErrorMessage());

        return {};
    }

    juce::Result uninstallBundle (const juce::File& bundle)
    {
        return removeBundle (bundle).toResult();
    }

    // Flushes on a second thread or, should there be no thread to spare, when the result is asked for.
    static std::future<juce::Result> flushInBackground (const juce::File& staging)
    {
        try
        {
            return std::async (std::launch::async, flushFilesToDisk, staging);
        }
        catch (const std::system_error&)
        {
            return std::async (std::launch::deferred, flushFilesToDisk, staging);
        }
    }

    namespace
    {
        // A first install whose files are flushed to the disk on a second thread while the next
        // format is extracted: the wait for the disk overlaps the inflating.
        struct FlushingInstall
        {
            size_t index;
            juce::File bundle;
            std::future<juce::Result> flushed;
        };
    }

    RunOutcome processFormats (const RunRequest& request)
    {
        RunOutcome outcome;

        if (std::find (request.selected.begin(), request.selected.end(), true) == request.selected.end())
            return outcome;

        recoverInterruptedRuns (request.formatFolders, request.productName);

        std::optional<FlushingInstall> flushing;

        const auto swapInFlushedInstall = [&] {
            if (flushing.has_value())
            {
                outcome.problems[flushing->index] = swapInStagedBundle (flushing->bundle, flushing->flushed.get());
                flushing.reset();
            }
        };

        for (int index = 0; index < numFormats; ++index)
        {
            const auto i = (size_t) index;

            if (! request.selected[i])
                continue;

            const auto& folder = request.formatFolders[i];
            const auto bundle = bundleFileFor (folder, request.productName, index);
            auto& problem = outcome.problems[i];
            outcome.processed[i] = true;

            if (! isUsableFormatFolder (folder))
            {
                problem = Problem::of (Problem::Kind::folderNotCreated, folder, "No folder is set for " + formatNames[index]);
                continue;
            }

            // Asked before anything changes: the old bundle's files are the ones a host has loaded.
            const auto holders = existsAtAll (bundle) && request.programsUsing != nullptr ? request.programsUsing (bundle)
                                                                                          : juce::StringArray();

            if (! holders.isEmpty() && request.programsInUseBlockChanges)
            {
                problem = Problem::of (Problem::Kind::inUse, bundle, bundle.getFullPathName() + " is in use by " + holders.joinIntoString (", "));
                problem.programs = holders;
                continue;
            }

            if (request.uninstall)
                problem = removeBundle (bundle);
            else if (auto staged = stageBundle (bundle, request.archives[i]); staged.failed())
                problem = staged;
            else
            {
                // Bundles still appear in format order.
                swapInFlushedInstall();

                const auto staging = siblingsOf (bundle).staging;

                // An update finishes first: until it has deleted the old bundle, extracting the next
                // format would need more free space than a run one format at a time.
                if (existsAtAll (bundle))
                    problem = swapInStagedBundle (bundle, flushFilesToDisk (staging));
                else
                    flushing = FlushingInstall { i, bundle, flushInBackground (staging) };
            }

            if (! problem.failed())
                outcome.stillRunningOld[i] = holders;
        }

        swapInFlushedInstall();

        outcome.succeeded = true;

        for (size_t i = 0; i < outcome.processed.size(); ++i)
        {
            outcome.results[i] = outcome.problems[i].toResult();
            outcome.succeeded = outcome.succeeded && (! outcome.processed[i] || outcome.results[i].wasOk());
        }

        return outcome;
    }
}

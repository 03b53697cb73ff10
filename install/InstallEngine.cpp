#include "InstallEngine.h"
#include "ArchiveExtraction.h"
#include "BundleSiblings.h"
#include "FileMove.h"
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

// Everything up to a complete bundle in the staging folder, not yet flushed to the disk. On
// failure nothing is left behind.
static juce::Result stageBundle (const juce::File& bundle, const ArchiveBytes& archive)
{
    if (archive.data == nullptr || archive.size == 0)
        return juce::Result::fail ("There is no archive for " + bundle.getFileName());

    const auto folder = bundle.getParentDirectory();

    if (const auto created = folder.createDirectory(); created.failed())
        return juce::Result::fail ("Could not create " + folder.getFullPathName() + ": " + created.getErrorMessage());

    const auto siblings = siblingsOf (bundle);

    if (existsAtAll (siblings.staging) || existsAtAll (siblings.previous))
        return juce::Result::fail ("An earlier run left files beside " + bundle.getFullPathName() + " that cannot be cleared");

    if (const auto created = siblings.staging.createDirectory(); created.failed() || siblings.staging.isSymbolicLink())
        return juce::Result::fail ("Could not create " + siblings.staging.getFullPathName() + ": " + created.getErrorMessage());

    const auto extracted = extractBundleArchive (archive.data, archive.size, siblings.staging, bundle.getFileName());

    return extracted.wasOk() ? extracted : combine (extracted, removeEntirely (siblings.staging));
}

// Puts the staged bundle in place once `flushed` says its files are on the disk. On failure the
// staging folder goes and whatever was at the bundle path stays as it was.
static juce::Result swapInStagedBundle (const juce::File& bundle, const juce::Result& flushed)
{
    const auto siblings = siblingsOf (bundle);
    const auto abandon = [&] (const juce::Result& why) { return combine (why, removeEntirely (siblings.staging)); };

    if (flushed.failed())
        return abandon (flushed);

    const bool replacing = existsAtAll (bundle);

    if (replacing)
        if (const auto movedAside = platform::moveWithoutReplacing (bundle, siblings.previous); movedAside.failed())
            return abandon (movedAside);

    if (const auto movedIn = platform::moveWithoutReplacing (siblings.staging.getChildFile (bundle.getFileName()), bundle);
        movedIn.failed())
    {
        // Put the old bundle back; should even that fail, the next run's recovery does it.
        if (replacing)
            platform::moveWithoutReplacing (siblings.previous, bundle);

        return abandon (movedIn);
    }

    // The new bundle is in place. What remains is tidying, which the next run repeats if needed.
    removeEntirely (siblings.staging);

    if (replacing && platform::moveWithoutReplacing (siblings.previous, siblings.removing).wasOk())
        removeEntirely (siblings.removing);

    return juce::Result::ok();
}

juce::Result uninstallBundle (const juce::File& bundle)
{
    const auto siblings = siblingsOf (bundle);

    if (existsAtAll (bundle))
    {
        if (const auto cleared = removeEntirely (siblings.removing); cleared.failed())
            return cleared;

        if (const auto movedAside = platform::moveWithoutReplacing (bundle, siblings.removing); movedAside.failed())
            return movedAside;
    }

    // A former bundle left aside by a failed recovery goes too, so that nothing can bring it back.
    const auto removed = combine (removeEntirely (siblings.removing), removeEntirely (siblings.previous));

    if (removed.failed())
        return juce::Result::fail (bundle.getFileName() + " is no longer installed, but some of its files could not be deleted: "
                                   + removed.getErrorMessage());

    return juce::Result::ok();
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

    const auto swapInFlushedInstall = [&]
    {
        if (flushing.has_value())
        {
            outcome.results[flushing->index] = swapInStagedBundle (flushing->bundle, flushing->flushed.get());
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
        outcome.processed[i] = true;

        if (! isUsableFormatFolder (folder))
            outcome.results[i] = juce::Result::fail ("No folder is set for " + formatNames[index]);
        else if (request.uninstall)
            outcome.results[i] = uninstallBundle (bundle);
        else if (const auto staged = stageBundle (bundle, request.archives[i]); staged.failed())
            outcome.results[i] = staged;
        else
        {
            // Bundles still appear in format order.
            swapInFlushedInstall();

            const auto staging = siblingsOf (bundle).staging;

            // An update finishes first: until it has deleted the old bundle, extracting the next
            // format would need more free space than a run one format at a time.
            if (existsAtAll (bundle))
                outcome.results[i] = swapInStagedBundle (bundle, flushFilesToDisk (staging));
            else
                flushing = FlushingInstall { i, bundle, flushInBackground (staging) };
        }
    }

    swapInFlushedInstall();

    outcome.succeeded = true;

    for (size_t i = 0; i < outcome.processed.size(); ++i)
        outcome.succeeded = outcome.succeeded && (! outcome.processed[i] || outcome.results[i].wasOk());

    return outcome;
}
}

#pragma once

#include <juce_core/juce_core.h>
#include <array>

/** Installs, updates and removes the product's bundles. Plain code over the folders and archive
    bytes it is given, so that tests drive it directly with temporary folders. */
namespace qv
{
    /** A format's zip archive as it lies in memory (normally the embedded resource). */
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
    };

    struct RunOutcome
    {
        /** True only when at least one format was processed and every processed format succeeded. */
        bool succeeded = false;

        /** Which formats the run processed (every selected one, whatever its outcome). */
        std::array<bool, 3> processed { false, false, false };

        /** Each processed format's result, with the reason of a failure. */
        std::array<juce::Result, 3> results { juce::Result::ok(), juce::Result::ok(), juce::Result::ok() };
    };

    /** Processes the selected formats in format-index order: installs (or updates) each from its
        archive, or removes it when `uninstall` is set. */
    RunOutcome processFormats (const RunRequest& request);
}

#pragma once

#include "install/InstallEngine.h"
#include <juce_core/juce_core.h>

/** The three archives the build embeds, read from where the build makes them. */
struct RealArchives
{
    RealArchives()
    {
        const juce::File folder (QV_TEST_ARCHIVES_DIR);
        folder.getChildFile ("vst3.zip").loadFileAsData (blocks[0]);
        folder.getChildFile ("clap.zip").loadFileAsData (blocks[1]);
        folder.getChildFile ("aax.zip").loadFileAsData (blocks[2]);
    }

    bool allRead() const { return blocks[0].getSize() > 0 && blocks[1].getSize() > 0 && blocks[2].getSize() > 0; }

    std::array<qv::ArchiveBytes, 3> bytes() const
    {
        return { { { blocks[0].getData(), blocks[0].getSize() },
                   { blocks[1].getData(), blocks[1].getSize() },
                   { blocks[2].getData(), blocks[2].getSize() } } };
    }

    std::array<juce::MemoryBlock, 3> blocks;
};

#include "LinkRecorder.h"
#include <cstdlib>

namespace qvtest
{
    LinkRecorder::LinkRecorder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("qv-links-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64()))),
          log (folder.getChildFile ("links.txt")),
          previousPath (juce::SystemStats::getEnvironmentVariable ("PATH", {}))
    {
        folder.createDirectory();

        const auto recorder = folder.getChildFile ("xdg-open");
        recorder.replaceWithText ("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.getFullPathName() + "'\n", false, false, "\n");
        recorder.setExecutePermission (true);

        ::setenv ("PATH", (folder.getFullPathName() + ":" + previousPath).toRawUTF8(), 1);
    }

    LinkRecorder::~LinkRecorder()
    {
        ::setenv ("PATH", previousPath.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    juce::StringArray LinkRecorder::waitFor (int expected, int timeoutMs) const
    {
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        juce::StringArray lines;

        for (;;)
        {
            lines = juce::StringArray::fromLines (log.loadFileAsString().trimEnd());
            lines.removeEmptyStrings();

            if (lines.size() >= expected || juce::Time::getMillisecondCounter() > deadline)
                return lines;

            juce::Thread::sleep (20);
        }
    }
}

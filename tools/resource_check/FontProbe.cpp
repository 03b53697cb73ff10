#include "FontProbe.h"
#include "FontCheck.h"
#include <iostream>

namespace qv::resourcecheck
{
    namespace
    {
        constexpr const char* soundReply = "ok";
        constexpr int probeTimeoutMs = 60000;
    }

    juce::StringArray probeFont (const juce::File& font)
    {
        const auto self = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
        juce::ChildProcess probe;

        // Only the reply on stdout counts; JUCE's own diagnostics (debug builds) go to stderr.
        if (! probe.start (juce::StringArray { self.getFullPathName(), fontProbeOption, font.getFullPathName() },
                           juce::ChildProcess::wantStdOut))
            return { "cannot be checked: the font probe does not start" };

        // Waiting comes first: reading until the probe closes its output would never time out. Its
        // few lines fit in the pipe meanwhile.
        if (! probe.waitForProcessToFinish (probeTimeoutMs))
        {
            probe.kill();
            return { "makes the font loader hang" };
        }

        const auto output = probe.readAllProcessOutput();

        // A probe killed by a signal reports exit code 0 through juce::ChildProcess, so success is
        // the reply, not the code.
        juce::StringArray lines;
        lines.addLines (output.trimEnd());
        lines.removeEmptyStrings();

        if (lines.size() == 1 && lines[0] == soundReply)
            return {};

        if (probe.getExitCode() == 1 && ! lines.isEmpty())
            return lines;

        return { "crashes the font loader" };
    }

    int runFontProbe (const juce::File& font)
    {
        juce::MemoryBlock bytes;

        if (! font.loadFileAsData (bytes))
        {
            std::cout << "cannot be read" << std::endl;
            return 1;
        }

        const auto problems = checkFont (bytes);

        for (auto& problem : problems)
            std::cout << problem << "\n";

        if (problems.isEmpty())
            std::cout << soundReply << "\n";

        std::cout.flush();
        return problems.isEmpty() ? 0 : 1;
    }
}

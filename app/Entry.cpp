#include "Entry.h"

namespace qv::entry
{
    int run (const juce::StringArray& arguments, const cli::Output& output,
             const std::function<bool()>& canShowWindow, const std::function<int()>& runWindow)
    {
        if (cli::wantsCommandLine (arguments))
            return cli::run (arguments, output);

        if (! canShowWindow())
        {
            output.err (cli::noDisplaySentence());
            return cli::badCommandLine;
        }

        return runWindow();
    }
}

#include "CheckOptions.h"
#include "FontProbe.h"
#include "ResourceCheck.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <iostream>

// Runs in the build before the resource table is generated: the program never checks what it
// loads from the table, so a bad icon, font or archive has to stop the build instead.
int main (int argc, char* argv[])
{
    using namespace qv::resourcecheck;

    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    if (arguments.size() == 2 && arguments[0] == fontProbeOption)
    {
        juce::ScopedJuceInitialiser_GUI juceGui;
        return runFontProbe (juce::File::getCurrentWorkingDirectory().getChildFile (arguments[1]));
    }

    CheckOptions options;
    const auto parsed = parseCheckOptions (arguments, options);

    if (parsed.failed())
    {
        std::cerr << "qv_resource_check: " << parsed.getErrorMessage() << "\n"
                  << checkUsage() << std::endl;
        return 2;
    }

    // Drawables are components; they need the message manager, though never a display.
    juce::ScopedJuceInitialiser_GUI juceGui;

    const auto problems = runResourceCheck (options);

    if (! problems.isEmpty())
    {
        if (options.stamp != juce::File())
            options.stamp.deleteFile();

        for (auto& problem : problems)
            std::cerr << problem << "\n";

        std::cerr.flush();
        return 1;
    }

    if (options.stamp != juce::File())
    {
        if (! options.stamp.getParentDirectory().createDirectory()
            || ! options.stamp.replaceWithText ("resources checked\n"))
        {
            std::cerr << options.stamp.getFullPathName() << ": cannot write the stamp" << std::endl;
            return 1;
        }
    }

    return 0;
}

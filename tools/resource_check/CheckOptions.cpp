#include "CheckOptions.h"

namespace qv::resourcecheck
{
    namespace
    {
        juce::File absoluteFile (const juce::String& path)
        {
            return juce::File::getCurrentWorkingDirectory().getChildFile (path);
        }
    }

    juce::String checkUsage()
    {
        return "usage: qv_resource_check --platform windows|linux [--product NAME] [--module-version A.B.C.D]\n"
               "           [--archive vst3|clap|aax=PATH]... [--font PATH]... [--icon PATH]...\n"
               "           [--recoloured ICON_NAME]... [--stamp PATH]";
    }

    juce::Result parseCheckOptions (const juce::StringArray& arguments, CheckOptions& options)
    {
        for (int i = 0; i < arguments.size(); ++i)
        {
            const auto& option = arguments[i];

            if (i + 1 >= arguments.size())
                return juce::Result::fail (option + " needs a value");

            const auto value = arguments[++i];

            if (option == "--platform")
            {
                if (value != "windows" && value != "linux")
                    return juce::Result::fail ("--platform must be windows or linux, not \"" + value + "\"");

                options.platform = value;
            }
            else if (option == "--product")
            {
                options.productName = value;
            }
            else if (option == "--module-version")
            {
                options.moduleVersion = value;
            }
            else if (option == "--archive")
            {
                const auto format = value.upToFirstOccurrenceOf ("=", false, false);
                const auto path = value.fromFirstOccurrenceOf ("=", false, false);

                if (! value.containsChar ('=') || path.isEmpty() || ! juce::StringArray { "vst3", "clap", "aax" }.contains (format))
                    return juce::Result::fail ("--archive takes vst3=PATH, clap=PATH or aax=PATH, not \"" + value + "\"");

                options.archives.emplace_back (format, absoluteFile (path));
            }
            else if (option == "--font")
            {
                options.fonts.add (absoluteFile (value));
            }
            else if (option == "--icon")
            {
                options.icons.add (absoluteFile (value));
            }
            else if (option == "--recoloured")
            {
                options.recoloured.add (value);
            }
            else if (option == "--stamp")
            {
                options.stamp = absoluteFile (value);
            }
            else
            {
                return juce::Result::fail ("unknown option " + option);
            }
        }

        if (options.platform.isEmpty())
            return juce::Result::fail ("--platform is required");

        if (options.productName.isEmpty())
            return juce::Result::fail ("--product must not be empty");

        return juce::Result::ok();
    }
}

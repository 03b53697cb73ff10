#include "PluginVersion.h"
#include "catalogue/FormatTable.h"
#include "catalogue/SmallFileRead.h"

namespace qv::platform
{
    // juce::JSON recurses once per nesting level; a real moduleinfo.json nests four deep.
    static bool nestsDeeperThan (const juce::String& json, int limit)
    {
        int depth = 0;
        bool inString = false;

        for (auto p = json.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;

            if (inString)
            {
                if (c == '\\' && ! (p + 1).isEmpty())
                    ++p;
                else if (c == '"')
                    inString = false;
            }
            else if (c == '"')
            {
                inString = true;
            }
            else if ((c == '[' || c == '{') && ++depth > limit)
            {
                return true;
            }
            else if (c == ']' || c == '}')
            {
                --depth;
            }
        }

        return false;
    }

    // Linux modules carry no version resource. The VST3 bundle describes itself in moduleinfo.json,
    // whose trailing commas juce::JSON accepts; CLAP and AAX have nothing comparable, so they show
    // no version. This runs on every paint, so the file is read within fixed bounds.
    juce::String pluginVersionOf (const juce::File& bundle, int formatIndex)
    {
        constexpr juce::int64 maxBytes = 256 * 1024;
        constexpr int maxDepth = 32;

        const juce::String versionFile (formatTable[(size_t) formatIndex].linuxVersionFile);

        if (versionFile.isEmpty())
            return {};

        const auto bytes = readSmallRegularFile (bundle.getChildFile (versionFile), maxBytes);

        if (! bytes.has_value())
            return {};

        const auto text = juce::String::createStringFromData (bytes->getData(), (int) bytes->getSize());

        if (nestsDeeperThan (text, maxDepth))
            return {};

        const auto version = juce::JSON::parse (text).getProperty ("Version", {});
        return version.isString() ? version.toString() : juce::String();
    }
}

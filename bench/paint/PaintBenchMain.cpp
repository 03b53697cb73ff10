// The cost of one full paint of the main component at 600 x 600, with all three formats installed
// (each paint asks the disk for their state and version) against none installed. Run it where the
// machine's settings and plug-in folders cannot be touched (bench/run uses the tests' sandbox):
// building the main component reads the shared settings file.
//
//   qv_bench_paint <folder> <paints per repetition> <repetitions>
//
// Prints one JSON line with the microseconds per paint of every repetition.

#include "catalogue/Catalogue.h"
#include "install/InstalledState.h"
#include "main_component/MainComponent.h"
#include <BinaryData.h>
#include <chrono>
#include <cstdio>

namespace
{
    using Clock = std::chrono::steady_clock;

    const char* const formatFolderNames[] { "vst3", "clap", "aax" };

    const std::pair<const char*, int> archives[] { { BinaryData::vst3_zip, BinaryData::vst3_zipSize },
                                                   { BinaryData::clap_zip, BinaryData::clap_zipSize },
                                                   { BinaryData::aax_zip, BinaryData::aax_zipSize } };

    int fail (const juce::String& message)
    {
        std::fprintf (stderr, "qv_bench_paint: %s\n", message.toRawUTF8());
        return 1;
    }

    std::array<juce::File, 3> formatFoldersIn (const juce::File& root)
    {
        return { root.getChildFile (formatFolderNames[0]),
                 root.getChildFile (formatFolderNames[1]),
                 root.getChildFile (formatFolderNames[2]) };
    }

    // The bundles are unpacked with JUCE's zip reader directly, so the fixture does not depend on
    // the engine under test elsewhere.
    juce::Result installBundles (const std::array<juce::File, 3>& folders)
    {
        for (size_t i = 0; i < folders.size(); ++i)
        {
            juce::ZipFile zip (new juce::MemoryInputStream (archives[i].first, (size_t) archives[i].second, false), true);

            if (const auto result = zip.uncompressTo (folders[i], true); result.failed())
                return result;
        }

        return juce::Result::ok();
    }

    juce::String jsonList (const std::vector<double>& values)
    {
        juce::StringArray items;

        for (const auto value : values)
            items.add (juce::String (value, 3));

        return "[" + items.joinIntoString (", ") + "]";
    }
}

int main (int argc, char** argv)
{
    if (argc != 4)
        return fail ("usage: qv_bench_paint <folder> <paints per repetition> <repetitions>");

    const auto root = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    const auto paints = juce::jmax (1, juce::String (argv[2]).getIntValue());
    const auto repetitions = juce::jmax (1, juce::String (argv[3]).getIntValue());

    juce::ScopedJuceInitialiser_GUI gui;

    const auto noneFolders = formatFoldersIn (root.getChildFile ("none"));
    const auto allFolders = formatFoldersIn (root.getChildFile ("all"));

    for (const auto& folder : noneFolders)
        if (! folder.createDirectory())
            return fail ("cannot create " + folder.getFullPathName());

    if (const auto result = installBundles (allFolders); result.failed())
        return fail (result.getErrorMessage());

    auto main = std::make_unique<MainComponent>();
    const auto productName = main->productName;

    for (int i = 0; i < qv::numFormats; ++i)
        if (qv::isFormatInstalled (noneFolders[(size_t) i], productName, i) || ! qv::isFormatInstalled (allFolders[(size_t) i], productName, i))
            return fail ("the fixture folders are not as expected for format " + juce::String (i));

    if (main->getWidth() != 600 || main->getHeight() != 600)
        return fail ("the main component is not 600 x 600");

    // The same selection in both states, so that only what the disk says differs.
    main->formatSelected = { false, false, false };

    juce::Image image (juce::Image::RGB, 600, 600, true, juce::SoftwareImageType());
    juce::Graphics g (image);

    const auto microsecondsPerPaint = [&] (const std::array<juce::File, 3>& folders, int count) {
        main->formatPaths = folders;
        const auto start = Clock::now();

        for (int n = 0; n < count; ++n)
            main->paintEntireComponent (g, true);

        return std::chrono::duration<double, std::micro> (Clock::now() - start).count() / count;
    };

    // Glyph and path caches fill on the first paints of each state.
    microsecondsPerPaint (noneFolders, juce::jmax (3, paints / 10));
    microsecondsPerPaint (allFolders, juce::jmax (3, paints / 10));

    std::vector<double> none, all;

    for (int rep = 0; rep < repetitions; ++rep)
    {
        // Alternate which state goes first, so that neither always follows the other.
        if (rep % 2 == 0)
        {
            none.push_back (microsecondsPerPaint (noneFolders, paints));
            all.push_back (microsecondsPerPaint (allFolders, paints));
        }
        else
        {
            all.push_back (microsecondsPerPaint (allFolders, paints));
            none.push_back (microsecondsPerPaint (noneFolders, paints));
        }
    }

    main = nullptr;

    std::printf ("{\"paints\": %d, \"none_us\": %s, \"all_us\": %s}\n", paints,
                 jsonList (none).toRawUTF8(), jsonList (all).toRawUTF8());
    return 0;
}

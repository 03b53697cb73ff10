// Runs the install engine once, as the installer would, so that a test can kill it part-way
// through or check the order of what it did on the disk.
//
//   qv_engine_helper install <format folder> <archive> [<kill after move n>]
//   qv_engine_helper uninstall <format folder> [<kill after move n>]
//   qv_engine_helper install-all <root> <vst3 archive> <clap archive> <aax archive> [<kill after move n>]
//
// install and uninstall act on the VST3 bundle of one folder; install-all installs all three
// formats into <root>/vst3, <root>/clap and <root>/aax. The helper prints "running" just before
// the engine starts and, if it lives, the outcome, the number of renames it made and then every
// rename and flush in order (see fileEvents). Given n, it kills itself with SIGKILL straight after
// its n-th rename. With QV_HELPER_FAILING_DATA_FLUSH set in its environment, every data flush
// fails (EIO).

#include "EngineHelperHooks.h"
#include "install/InstallEngine.h"
#include <iostream>

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);
    const bool uninstall = args[0] == "uninstall", allFormats = args[0] == "install-all";
    const int killArgument = uninstall ? 2 : (allFormats ? 5 : 3);

    if (args.size() < killArgument || (args[0] != "install" && ! uninstall && ! allFormats))
    {
        std::cerr << "usage: qv_engine_helper install <folder> <archive> [n] | uninstall <folder> [n]"
                     " | install-all <root> <vst3 archive> <clap archive> <aax archive> [n]"
                  << std::endl;
        return 2;
    }

    const juce::File folder (args[1]);
    qv::RunRequest request { { folder, folder.getSiblingFile ("no-clap"), folder.getSiblingFile ("no-aax") },
                             "Varnoly",
                             { true, false, false },
                             uninstall,
                             {} };

    if (allFormats)
    {
        request.formatFolders = { folder.getChildFile ("vst3"), folder.getChildFile ("clap"), folder.getChildFile ("aax") };
        request.selected = { true, true, true };
    }

    std::vector<std::unique_ptr<juce::MemoryMappedFile>> archives;

    for (int i = 0; i < killArgument - 2; ++i)
    {
        archives.push_back (std::make_unique<juce::MemoryMappedFile> (juce::File (args[2 + i]), juce::MemoryMappedFile::readOnly));
        request.archives[(size_t) i] = { archives.back()->getData(), archives.back()->getSize() };
    }

    if (args.size() > killArgument)
        killAfterMove (args[killArgument].getIntValue());

    std::cout << "running" << std::endl;
    const auto outcome = qv::processFormats (request);

    juce::String firstFailure;

    for (const auto& result : outcome.results)
        if (result.failed() && firstFailure.isEmpty())
            firstFailure = result.getErrorMessage();

    std::cout << (outcome.succeeded ? "succeeded" : "failed: " + firstFailure.toStdString())
              << "\nmoves " << movesMade() << std::endl;

    for (const auto& event : fileEvents())
        std::cout << event << "\n";

    std::cout << std::flush;
    return outcome.succeeded ? 0 : 1;
}

// Runs the install engine once on the VST3 bundle of a folder, as the installer would, so that a
// test can kill it part-way through.
//
//   qv_engine_helper install <format folder> <archive> [<kill after move n>]
//   qv_engine_helper uninstall <format folder> [<kill after move n>]
//
// It prints "running" just before the engine starts and, if it lives, the outcome and the number
// of renames it made. Given n, it kills itself with SIGKILL straight after its n-th rename.

#include "EngineHelperKillPoints.h"
#include "install/InstallEngine.h"
#include <iostream>

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);
    const bool uninstall = args[0] == "uninstall";
    const int killArgument = uninstall ? 2 : 3;

    if (args.size() < killArgument || (args[0] != "install" && ! uninstall))
    {
        std::cerr << "usage: qv_engine_helper install <folder> <archive> [n] | uninstall <folder> [n]" << std::endl;
        return 2;
    }

    const juce::File folder (args[1]);
    qv::RunRequest request { { folder, folder.getSiblingFile ("no-clap"), folder.getSiblingFile ("no-aax") },
                             "Varnoly", { true, false, false }, uninstall, {} };

    std::unique_ptr<juce::MemoryMappedFile> archive;

    if (! uninstall)
    {
        archive = std::make_unique<juce::MemoryMappedFile> (juce::File (args[2]), juce::MemoryMappedFile::readOnly);
        request.archives[0] = { archive->getData(), archive->getSize() };
    }

    if (args.size() > killArgument)
        killAfterMove (args[killArgument].getIntValue());

    std::cout << "running" << std::endl;
    const auto outcome = qv::processFormats (request);

    std::cout << (outcome.succeeded ? "succeeded" : "failed: " + outcome.results[0].getErrorMessage().toStdString())
              << "\nmoves " << movesMade() << std::endl;
    return outcome.succeeded ? 0 : 1;
}

// One engine measurement per process, so that every run starts with the embedded archives unread,
// as the installer does: bench/run starts this program once per repetition and reads the JSON line
// it prints.
//
//   qv_bench_engine install <root>         installs all three formats into <root>/{vst3,clap,aax}
//   qv_bench_engine update <root>          the same over an installed product
//   qv_bench_engine limit <root>           bare inflate-and-write of the same archives
//   qv_bench_engine durable-limit <root>   the same with an fsync per file
//   qv_bench_engine unzip <root> <zip>...  Debian's unzip, each <name>.zip into <root>/<name>

#include "BareExtractor.h"
#include "ProcessMemory.h"
#include "catalogue/Catalogue.h"
#include "install/InstallEngine.h"
#include "install/InstalledState.h"
#include <BinaryData.h>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

extern char** environ;

namespace
{
    using Clock = std::chrono::steady_clock;

    const char* const formatFolderNames[] { "vst3", "clap", "aax" };

    const std::array<qv::ArchiveBytes, 3> embeddedArchives {
        qv::ArchiveBytes { BinaryData::vst3_zip, (size_t) BinaryData::vst3_zipSize },
        qv::ArchiveBytes { BinaryData::clap_zip, (size_t) BinaryData::clap_zipSize },
        qv::ArchiveBytes { BinaryData::aax_zip, (size_t) BinaryData::aax_zipSize }
    };

    int fail (const std::string& message)
    {
        std::fprintf (stderr, "qv_bench_engine: %s\n", message.c_str());
        return 1;
    }

    double secondsSince (Clock::time_point start)
    {
        return std::chrono::duration<double> (Clock::now() - start).count();
    }

    // CPU time of every thread of this process, so that a busy machine can be told from a slow run.
    double processCpuSeconds()
    {
        timespec t {};
        clock_gettime (CLOCK_PROCESS_CPUTIME_ID, &t);
        return (double) t.tv_sec + (double) t.tv_nsec * 1.0e-9;
    }

    double childrenCpuSeconds()
    {
        rusage usage {};
        getrusage (RUSAGE_CHILDREN, &usage);
        return (double) usage.ru_utime.tv_sec + (double) usage.ru_utime.tv_usec * 1.0e-6
            + (double) usage.ru_stime.tv_sec + (double) usage.ru_stime.tv_usec * 1.0e-6;
    }

    size_t largestArchiveSize()
    {
        size_t largest = 0;

        for (const auto& archive : embeddedArchives)
            largest = std::max (largest, archive.size);

        return largest;
    }

    std::array<juce::File, 3> formatFoldersIn (const juce::File& root)
    {
        return { root.getChildFile (formatFolderNames[0]),
                 root.getChildFile (formatFolderNames[1]),
                 root.getChildFile (formatFolderNames[2]) };
    }

    void printResult (const char* mode, double seconds, double cpuSeconds, const bench::ResidentMemory& before, const bench::ResidentMemory& after)
    {
        std::printf ("{\"mode\": \"%s\", \"seconds\": %.6f, \"cpu_seconds\": %.6f, \"rss_before\": %lld, \"rss_peak\": %lld, "
                     "\"rss_after_anon\": %lld, \"rss_after_file\": %lld, \"largest_archive\": %zu}\n",
                     mode, seconds, cpuSeconds, (long long) before.currentBytes, (long long) after.peakBytes,
                     (long long) after.anonymousBytes, (long long) after.fileBytes, largestArchiveSize());
    }

    // The engine as the program runs it: every format selected, the embedded archives.
    int runEngine (const char* mode, const juce::File& root, bool expectInstalled)
    {
        qv::RunRequest request;
        request.formatFolders = formatFoldersIn (root);
        request.productName = qv::product::displayName (qv::product::storedName);
        request.selected = { true, true, true };
        request.uninstall = false;
        request.archives = embeddedArchives;

        for (int i = 0; i < qv::numFormats; ++i)
        {
            if (! request.formatFolders[(size_t) i].createDirectory())
                return fail ("cannot create " + request.formatFolders[(size_t) i].getFullPathName().toStdString());

            if (qv::isFormatInstalled (request.formatFolders[(size_t) i], request.productName, i) != expectInstalled)
                return fail (std::string (mode) + " needs the product " + (expectInstalled ? "installed" : "absent")
                             + " in " + root.getFullPathName().toStdString());
        }

        std::string error;
        if (! bench::resetPeakResidentMemory (error))
            return fail (error);

        const auto before = bench::readResidentMemory();
        const auto cpuStart = processCpuSeconds();
        const auto start = Clock::now();
        const auto outcome = qv::processFormats (request);
        const auto seconds = secondsSince (start);
        const auto cpuSeconds = processCpuSeconds() - cpuStart;
        const auto after = bench::readResidentMemory();

        for (size_t i = 0; i < 3; ++i)
        {
            if (! outcome.results[i].wasOk())
                return fail (std::string (formatFolderNames[i]) + ": " + outcome.results[i].getErrorMessage().toStdString());

            if (! outcome.processed[i] || ! qv::isFormatInstalled (request.formatFolders[i], request.productName, (int) i))
                return fail (std::string (formatFolderNames[i]) + " was not installed");
        }

        if (! outcome.succeeded)
            return fail ("the engine reported failure");

        printResult (mode, seconds, cpuSeconds, before, after);
        return 0;
    }

    int runBareExtraction (const char* mode, const juce::File& root, bool syncEachFile)
    {
        const auto folders = formatFoldersIn (root);

        for (const auto& folder : folders)
            if (! folder.createDirectory())
                return fail ("cannot create " + folder.getFullPathName().toStdString());

        std::string error;
        const auto before = bench::readResidentMemory();
        const auto cpuStart = processCpuSeconds();
        const auto start = Clock::now();

        for (size_t i = 0; i < 3; ++i)
        {
            const auto& archive = embeddedArchives[i];

            if (! bench::extractBare (archive.data, archive.size, folders[i].getFullPathName().toStdString(), syncEachFile, error))
                return fail (error);
        }

        const auto seconds = secondsSince (start);
        const auto cpuSeconds = processCpuSeconds() - cpuStart;
        printResult (mode, seconds, cpuSeconds, before, bench::readResidentMemory());
        return 0;
    }

    int runUnzip (const juce::File& root, const std::vector<std::string>& zips)
    {
        if (zips.empty())
            return fail ("unzip needs the archives");

        std::vector<juce::File> targets;

        for (const auto& zip : zips)
        {
            targets.push_back (root.getChildFile (juce::File (zip).getFileNameWithoutExtension()));

            if (! targets.back().createDirectory())
                return fail ("cannot create " + targets.back().getFullPathName().toStdString());
        }

        const auto cpuStart = childrenCpuSeconds();
        const auto start = Clock::now();

        for (size_t i = 0; i < zips.size(); ++i)
        {
            const auto target = targets[i].getFullPathName().toStdString();
            const char* argv[] { "unzip", "-o", "-q", zips[i].c_str(), "-d", target.c_str(), nullptr };
            pid_t pid = 0;

            if (posix_spawnp (&pid, "unzip", nullptr, nullptr, const_cast<char* const*> (argv), environ) != 0)
                return fail ("cannot start unzip");

            int status = 0;
            if (waitpid (pid, &status, 0) != pid || ! WIFEXITED (status))
                return fail ("unzip did not finish");

            // 1 is unzip's "warning" status, which the archives' backslash separators always raise.
            if (WEXITSTATUS (status) > 1)
                return fail ("unzip failed on " + zips[i] + " with status " + std::to_string (WEXITSTATUS (status)));
        }

        const auto seconds = secondsSince (start);
        printResult ("unzip", seconds, childrenCpuSeconds() - cpuStart, {}, {});
        return 0;
    }
}

int main (int argc, char** argv)
{
    if (argc < 3)
        return fail ("usage: qv_bench_engine install|update|limit|durable-limit|unzip <root> [zip...]");

    const std::string mode = argv[1];
    const juce::File root (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));

    if (! root.createDirectory())
        return fail ("cannot create " + root.getFullPathName().toStdString());

    if (mode == "install")
        return runEngine ("install", root, false);

    if (mode == "update")
        return runEngine ("update", root, true);

    if (mode == "limit")
        return runBareExtraction ("limit", root, false);

    if (mode == "durable-limit")
        return runBareExtraction ("durable-limit", root, true);

    if (mode == "unzip")
        return runUnzip (root, std::vector<std::string> (argv + 3, argv + argc));

    return fail ("unknown mode " + mode);
}

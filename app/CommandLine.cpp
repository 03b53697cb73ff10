#include "CommandLine.h"
#include "catalogue/Catalogue.h"
#include "catalogue/InstallFolders.h"
#include "install/InstallEngine.h"
#include "install/InstalledState.h"
#include "install/ProblemSentences.h"
#include "install/RunLock.h"
#include "resources/EmbeddedArchives.h"

namespace qv::cli
{
    namespace
    {
        struct Options
        {
            juce::String action; // "install", "uninstall", "list", "help" or "version"
            std::array<bool, 3> formats { false, false, false };
            juce::File logFile;
            juce::String problem; // why the command line is not understood
        };

        bool parseFormats (const juce::String& list, std::array<bool, 3>& formats)
        {
            const auto names = juce::StringArray::fromTokens (list, ",", {});

            if (names.isEmpty())
                return false;

            for (auto name : names)
            {
                name = name.trim().toLowerCase();

                if (name == "all")
                {
                    formats.fill (true);
                    continue;
                }

                const auto index = formatNames.indexOf (name, true);

                if (! juce::isPositiveAndBelow (index, numFormats))
                    return false;

                formats[(size_t) index] = true;
            }

            return true;
        }

        Options parse (const juce::StringArray& arguments)
        {
            Options options;

            const auto setAction = [&] (const juce::String& action) {
                if (options.action.isNotEmpty())
                    options.problem = "Give only one of --install, --uninstall, --list, --help and --version.";

                options.action = action;
            };

            for (int i = 0; i < arguments.size() && options.problem.isEmpty(); ++i)
            {
                auto argument = arguments[i];
                juce::String value;
                const bool takesValue = argument == "--install" || argument == "--uninstall" || argument == "--log";

                if (argument.startsWith ("--") && argument.contains ("="))
                {
                    value = argument.fromFirstOccurrenceOf ("=", false, false);
                    argument = argument.upToFirstOccurrenceOf ("=", false, false);
                }
                else if (takesValue)
                {
                    if (i + 1 >= arguments.size())
                    {
                        options.problem = argument + " needs a value.";
                        break;
                    }

                    value = arguments[++i];
                }

                if (argument == "--install" || argument == "--uninstall")
                {
                    setAction (argument.substring (2));

                    if (! parseFormats (value, options.formats))
                        options.problem = "Formats are vst3, clap, aax or all, separated by commas: " + value.quoted();
                }
                else if (argument == "--log")
                {
                    options.logFile = juce::File::getCurrentWorkingDirectory().getChildFile (value);

                    if (value.isEmpty())
                        options.problem = "--log needs a file.";
                }
                else if (argument == "--list" || argument == "--help" || argument == "--version")
                {
                    setAction (argument.substring (2));
                }
                else
                {
                    options.problem = "Unknown argument: " + argument.quoted();
                }
            }

            if (options.problem.isEmpty() && options.action.isEmpty())
                options.problem = "Give --install, --uninstall, --list, --help or --version.";

            return options;
        }

        /** Timestamped lines appended to the --log file, for deployment tools that keep no console. */
        class Log
        {
        public:
            explicit Log (const juce::File& f) : file (f) {}

            void write (const juce::String& line) const
            {
                if (file != juce::File())
                    file.appendText (juce::Time::getCurrentTime().toISO8601 (true) + " " + line + "\n", false, false, "\n");
            }

        private:
            juce::File file;
        };

        juce::String formatList (const std::array<bool, 3>& formats)
        {
            juce::StringArray names;

            for (int i = 0; i < numFormats; ++i)
                if (formats[(size_t) i])
                    names.add (formatNames[i]);

            return names.joinIntoString (", ");
        }

        int list (const InstallFolders& folders, const juce::String& productName, const Output& output, const Log& log)
        {
            for (int i = 0; i < numFormats; ++i)
            {
                const auto& folder = folders.formatFolders[(size_t) i];
                const auto installed = isFormatInstalled (folder, productName, i);
                const auto version = installed ? installedVersionOf (folder, productName, i) : juce::String();
                const auto line = formatNames[i] + "\t" + (installed ? "installed" : "absent") + "\t"
                    + (version.isNotEmpty() ? version : "-") + "\t" + bundleFileFor (folder, productName, i).getFullPathName();
                output.out (line);
                log.write ("list " + line.replaceCharacter ('\t', ' '));
            }

            return allDone;
        }

        int process (const Options& options, const InstallFolders& folders, const juce::String& productName,
                     const Output& output, const Log& log)
        {
            const bool uninstall = options.action == "uninstall";
            log.write ((uninstall ? "uninstall " : "install ") + formatList (options.formats));

            RunRequest request;
            request.formatFolders = folders.formatFolders;
            request.productName = productName;
            request.selected = options.formats;
            request.uninstall = uninstall;
            request.archives = embeddedArchives();

            const auto lock = RunLock::acquire (folders.settingsFolder, RunLock::defaultTimeoutMs());

            if (lock == nullptr)
            {
                output.err (otherRunBusySentence);
                log.write ("failed: " + juce::String (otherRunBusySentence));
                return otherRunBusy;
            }

            log.write ("started");

            // Removing a format that was not there succeeds, but a script should not read "removed".
            std::array<bool, numFormats> wasInstalled {};
            for (int i = 0; i < numFormats; ++i)
                wasInstalled[(size_t) i] = isFormatInstalled (folders.formatFolders[(size_t) i], productName, i);

            const auto outcome = processFormats (request);
            int code = allDone;

            for (int i = 0; i < numFormats; ++i)
            {
                if (! outcome.processed[(size_t) i])
                    continue;

                const auto& problem = outcome.problems[(size_t) i];
                const auto bundle = bundleFileFor (folders.formatFolders[(size_t) i], productName, i).getFullPathName();

                if (problem.failed())
                {
                    code = someFailed;
                    const auto sentence = problemSentence (formatNames[i], problem, uninstall);
                    output.err (sentence);
                    log.write (formatNames[i] + " failed: " + sentence + " (" + problem.detail + ")");
                }
                else
                {
                    auto done = " installed at ";
                    if (uninstall)
                        done = wasInstalled[(size_t) i] ? " removed from " : " was not installed at ";

                    const auto line = formatNames[i] + done + bundle;
                    output.out (line);
                    log.write (line);
                }
            }

            // Programs that still run an old version are worth knowing, but the run did what was asked.
            if (code == allDone)
                if (const auto note = runSentence (outcome, uninstall); note.isNotEmpty())
                {
                    output.out (note);
                    log.write (note);
                }

            log.write ("exit " + juce::String (code));
            return code;
        }
    }

    bool wantsCommandLine (const juce::StringArray& arguments)
    {
        for (const auto& argument : arguments)
            if (argument.isNotEmpty())
                return true;

        return false;
    }

    juce::String usage()
    {
        return juce::String (installer::name) + " " + installer::version + ": installs " + product::displayName (product::storedName)
            + " " + product::version + "\n"
                                       "\n"
                                       "Usage:\n"
                                       "  qv_installer                        open the installer's window\n"
                                       "  qv_installer --install FORMATS      install or update, without a window\n"
                                       "  qv_installer --uninstall FORMATS    remove, without a window\n"
                                       "  qv_installer --list                 one line per format: format, installed or absent,\n"
                                       "                                      version (or -) and bundle path, separated by tabs\n"
                                       "  qv_installer --help | --version\n"
                                       "\n"
                                       "FORMATS is vst3, clap, aax or all, separated by commas (e.g. vst3,clap).\n"
                                       "--log FILE appends a timestamped line per step and per result to FILE.\n"
                                       "\n"
                                       "Exit codes:\n"
                                       "  0  every requested format done\n"
                                       "  1  at least one format failed (its reason is on standard error)\n"
                                       "  2  bad command line (nothing was touched), or no argument and no display for the window\n"
                                       "  3  another run of the installer kept it busy for 30 seconds\n";
    }

    juce::String noDisplaySentence()
    {
        return "The installer's window cannot be shown: no display could be opened. "
               "Run qv_installer --help to install from the command line.";
    }

    int run (const juce::StringArray& arguments, const Output& output)
    {
        const auto options = parse (arguments);

        if (options.problem.isNotEmpty())
        {
            output.err (options.problem);
            output.err (usage());
            return badCommandLine;
        }

        if (options.action == "help")
        {
            output.out (usage());
            return allDone;
        }

        if (options.action == "version")
        {
            output.out (juce::String (installer::name) + " " + installer::version + " (" + product::displayName (product::storedName) + " "
                        + product::version + ")");
            return allDone;
        }

        const Log log (options.logFile);
        const auto folders = resolveInstallFolders();
        const auto productName = product::displayName (product::storedName);

        if (options.action == "list")
            return list (folders, productName, output, log);

        return process (options, folders, productName, output, log);
    }
}

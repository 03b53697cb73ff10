#include "RunLock.h"
#include "catalogue/Catalogue.h"
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qv
{
    namespace
    {
        class FlockRunLock final : public RunLock
        {
        public:
            explicit FlockRunLock (int f) : fd (f) {}
            ~FlockRunLock() override { ::close (fd); } // closing releases the lock

        private:
            int fd;
        };

        // Beside the settings file when the maker's folder exists; else in the account's runtime folder.
        juce::File lockFileFor (const juce::File& settingsFolder)
        {
            if (settingsFolder.isDirectory())
                return settingsFolder.getChildFile (".PluginManager.lock");

            const auto runtime = juce::SystemStats::getEnvironmentVariable ("XDG_RUNTIME_DIR", {});

            if (juce::File::isAbsolutePath (runtime) && juce::File (runtime).isDirectory())
                return juce::File (runtime).getChildFile (juce::String (maker::folderName) + "-PluginManager-"
                                                          + juce::String::toHexString (settingsFolder.getFullPathName().hashCode64()) + ".lock");

            return juce::File ("/tmp").getChildFile (juce::String (maker::folderName) + "-PluginManager-" + juce::String ((int) ::geteuid()) + "-"
                                                     + juce::String::toHexString (settingsFolder.getFullPathName().hashCode64()) + ".lock");
        }
    }

    std::unique_ptr<RunLock> RunLock::acquire (const juce::File& settingsFolder, int timeoutMs)
    {
        const auto path = lockFileFor (settingsFolder).getFullPathName();
        const int fd = ::open (path.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);

        // A lock that cannot even be opened (a read-only maker folder) must not stop an install that
        // could otherwise work; such a run goes unlocked, as runs did before.
        if (fd < 0)
            return std::make_unique<RunLock>();

        const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutMs;

        for (;;)
        {
            if (::flock (fd, LOCK_EX | LOCK_NB) == 0)
                return std::make_unique<FlockRunLock> (fd);

            if (juce::Time::getMillisecondCounterHiRes() >= deadline)
                break;

            juce::Thread::sleep (50);
        }

        ::close (fd);
        return nullptr;
    }
}

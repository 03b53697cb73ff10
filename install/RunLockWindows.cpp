#include "RunLock.h"
#include "catalogue/Catalogue.h"
#include <windows.h>

namespace qv
{
    namespace
    {
        class MutexRunLock final : public RunLock
        {
        public:
            explicit MutexRunLock (HANDLE m) : mutex (m) {}

            ~MutexRunLock() override
            {
                ReleaseMutex (mutex);
                CloseHandle (mutex);
            }

        private:
            HANDLE mutex;
        };
    }

    std::unique_ptr<RunLock> RunLock::acquire (const juce::File& settingsFolder, int timeoutMs)
    {
        // One name per settings file, in the global namespace so that every session's runs meet.
        const auto name = "Global\\" + juce::String (maker::folderName) + "-PluginManager-"
            + juce::String::toHexString (settingsFolder.getFullPathName().toLowerCase().hashCode64());
        const auto mutex = CreateMutexW (nullptr, FALSE, name.toWideCharPointer());

        if (mutex == nullptr)
            return std::make_unique<RunLock>();

        // WAIT_ABANDONED: the holder was killed; the mutex is ours now.
        const auto waited = WaitForSingleObject (mutex, (DWORD) juce::jmax (0, timeoutMs));

        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
            return std::make_unique<MutexRunLock> (mutex);

        CloseHandle (mutex);
        return nullptr;
    }
}

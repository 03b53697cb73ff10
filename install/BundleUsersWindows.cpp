#include "BundleUsers.h"
#include <windows.h>
#include <restartmanager.h>
#include <vector>

namespace qv::platform
{
    namespace
    {
        // A Restart Manager session that ends with its scope; it is only ever asked, never told to
        // shut anything down.
        struct RestartManagerSession
        {
            DWORD handle = 0;
            bool started = false;

            RestartManagerSession()
            {
                WCHAR key[CCH_RM_SESSION_KEY + 1] {};
                started = RmStartSession (&handle, 0, key) == ERROR_SUCCESS;
            }

            ~RestartManagerSession()
            {
                if (started)
                    RmEndSession (handle);
            }
        };
    }

    juce::StringArray programsUsing (const juce::File& bundle)
    {
        juce::StringArray names;
        juce::Array<juce::File> files;

        if (bundle.isDirectory())
            files = bundle.findChildFiles (juce::File::findFiles, true, "*", juce::File::FollowSymlinks::no);
        else if (bundle.existsAsFile())
            files.add (bundle);

        if (files.isEmpty())
            return names;

        RestartManagerSession session;

        if (! session.started)
            return names;

        std::vector<std::wstring> paths;
        std::vector<LPCWSTR> pathPointers;

        for (const auto& file : files)
            paths.push_back (file.getFullPathName().toWideCharPointer());

        for (const auto& path : paths)
            pathPointers.push_back (path.c_str());

        if (RmRegisterResources (session.handle, (UINT) pathPointers.size(), pathPointers.data(), 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
            return names;

        std::vector<RM_PROCESS_INFO> processes;
        UINT needed = 0;
        UINT count = 0;
        DWORD reasons = 0;
        DWORD status = ERROR_MORE_DATA;

        // The list may grow between the two calls; ask again until it fits.
        for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt)
        {
            processes.resize (needed);
            count = (UINT) processes.size();
            status = RmGetList (session.handle, &needed, &count, processes.empty() ? nullptr : processes.data(), &reasons);
        }

        if (status != ERROR_SUCCESS)
            return names;

        for (UINT i = 0; i < count && i < processes.size(); ++i)
            names.addIfNotAlreadyThere (juce::String (processes[i].strAppName).trim());

        names.removeEmptyStrings();
        return names;
    }

    bool programsInUseBlockChanges() { return true; }
}

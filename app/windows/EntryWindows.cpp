#include "app/Entry.h"
#include "app/qv_installerApplication.h"
#include <windows.h>
#include <shellapi.h>

JUCE_CREATE_APPLICATION_DEFINE (qv_installerApplication)

namespace
{
    // A program of the GUI subsystem has no console of its own. Output goes where the parent
    // pointed it (a file or a pipe of a deployment tool), else to the console of the cmd or
    // PowerShell that started it.
    HANDLE outputHandle (DWORD which)
    {
        const auto inherited = GetStdHandle (which);

        if (inherited != nullptr && inherited != INVALID_HANDLE_VALUE)
            return inherited;

        static const bool attached = AttachConsole (ATTACH_PARENT_PROCESS) != 0;

        if (! attached)
            return nullptr;

        const auto console = CreateFileW (L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        return console == INVALID_HANDLE_VALUE ? nullptr : console;
    }

    void writeLine (DWORD which, const juce::String& text)
    {
        static const HANDLE handles[] { outputHandle (STD_OUTPUT_HANDLE), outputHandle (STD_ERROR_HANDLE) };
        const auto handle = handles[which == STD_OUTPUT_HANDLE ? 0 : 1];

        if (handle == nullptr)
            return;

        const auto line = text.trimCharactersAtEnd ("\n").replace ("\n", "\r\n") + "\r\n";
        DWORD mode = 0;
        DWORD written = 0;

        if (GetConsoleMode (handle, &mode))
        {
            const auto wide = line.toWideCharPointer();
            WriteConsoleW (handle, wide, (DWORD) wcslen (wide), &written, nullptr);
        }
        else
        {
            const auto utf8 = line.toRawUTF8();
            WriteFile (handle, utf8, (DWORD) strlen (utf8), &written, nullptr);
        }
    }
}

extern "C" int __stdcall WinMain (HINSTANCE, HINSTANCE, char*, int)
{
    juce::StringArray arguments;
    int count = 0;

    if (auto** argv = CommandLineToArgvW (GetCommandLineW(), &count))
    {
        for (int i = 1; i < count; ++i)
            arguments.add (juce::String (argv[i]));

        LocalFree (argv);
    }

    const qv::cli::Output output { [] (const juce::String& s) { writeLine (STD_OUTPUT_HANDLE, s); },
                                   [] (const juce::String& s) { writeLine (STD_ERROR_HANDLE, s); } };

    // Windows always has a desktop to show the window on.
    const auto canShowWindow = [] { return true; };
    const auto runWindow = [] {
        juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
        return juce::JUCEApplicationBase::main();
    };

    return qv::entry::run (arguments, output, canShowWindow, runWindow);
}

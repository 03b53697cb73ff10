#include "Entry.h"
#include "qv_installerApplication.h"
#include <cstdio>
#include <dlfcn.h>

JUCE_CREATE_APPLICATION_DEFINE (qv_installerApplication)

namespace
{
    // JUCE loads libX11 itself and does not survive a display it cannot open; ask first.
    bool canOpenDisplay()
    {
        auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);

        if (x11 == nullptr)
            return false;

        using OpenDisplay = void* (*) (const char*);
        using CloseDisplay = int (*) (void*);
        const auto open = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
        const auto close = reinterpret_cast<CloseDisplay> (dlsym (x11, "XCloseDisplay"));
        auto* display = open != nullptr && close != nullptr ? open (nullptr) : nullptr;

        if (display != nullptr)
            close (display);

        dlclose (x11);
        return display != nullptr;
    }

    void writeLine (std::FILE* stream, const juce::String& text)
    {
        std::fputs ((text.trimCharactersAtEnd ("\n") + "\n").toRawUTF8(), stream);
        std::fflush (stream);
    }
}

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String (juce::CharPointer_UTF8 (argv[i])));

    const qv::cli::Output output { [] (const juce::String& s) { writeLine (stdout, s); },
                                   [] (const juce::String& s) { writeLine (stderr, s); } };

    return qv::entry::run (arguments, output, canOpenDisplay, [&] {
        juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
        return juce::JUCEApplicationBase::main (argc, (const char**) argv);
    });
}

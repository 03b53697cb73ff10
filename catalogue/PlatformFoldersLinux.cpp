#include "AccountFolders.h"
#include "PlatformFolders.h"
#include <cstdlib>
#include <unistd.h>

namespace qv::platform
{
    // Hosts scan /usr/lib/vst3 and /usr/lib/clap for everyone, ~/.vst3 and ~/.clap for one user. AAX
    // has no Linux home, so it gets the sibling of the same shape in either place.
    AccountFolders accountFoldersFor (bool isRoot, const juce::String& home, const juce::String& xdgConfigHome)
    {
        if (isRoot)
            return { juce::File ("/usr/lib"), { "vst3", "clap", "aax" }, juce::File ("/opt") };

        const juce::File homeFolder (home);
        const auto configHome = juce::File::isAbsolutePath (xdgConfigHome) ? juce::File (xdgConfigHome)
                                                                           : homeFolder.getChildFile (".config");

        return { homeFolder, { ".vst3", ".clap", ".aax" }, configHome };
    }

    AccountFolders currentAccountFolders()
    {
        // JUCE falls back to the password database when HOME is unset.
        const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getFullPathName();
        return accountFoldersFor (geteuid() == 0, home, juce::String (juce::CharPointer_UTF8 (std::getenv ("XDG_CONFIG_HOME"))));
    }

    juce::File defaultPluginRoot() { return currentAccountFolders().pluginRoot; }

    juce::String defaultFormatFolderName (int formatIndex) { return currentAccountFolders().formatFolderNames[formatIndex]; }

    juce::File makerFolderParent() { return currentAccountFolders().makerFolderParent; }

    juce::String platformSuffix() { return " for Linux"; }

    // root is refused only where nothing may write (a read-only mount); the account's own folders are
    // then the way out. Any other account can install for everyone as root.
    juce::String howToGetWriteAccess()
    {
        return geteuid() == 0 ? "Run it as yourself to install for your account only."
                              : "Run it as root to install for all users.";
    }
}

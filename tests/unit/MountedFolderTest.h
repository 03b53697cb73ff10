#pragma once

#include "InstallEngineFixture.h"
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

/** Moves this test process into a mount namespace of its own, once, so that the mounts the tests
    make are never seen by the host. Returns why it cannot, or an empty string. */
inline juce::String enterPrivateMountNamespace()
{
    if (geteuid() != 0)
        return "needs root: mounts a read-only bind mount or a tiny tmpfs in a private mount namespace";

    static const juce::String problem = []() -> juce::String {
        if (unshare (CLONE_NEWNS) != 0)
            return "cannot create a mount namespace: " + juce::String (std::strerror (errno));

        if (mount (nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return "cannot make the mounts private: " + juce::String (std::strerror (errno));

        return {};
    }();

    return problem;
}

struct MountedFolderTest : InstallEngineTest
{
    void SetUp() override
    {
        const auto problem = enterPrivateMountNamespace();

        if (problem.isNotEmpty())
            GTEST_SKIP() << problem;
    }

    void TearDown() override
    {
        unmountAll();
    }

    void unmountAll()
    {
        for (auto it = mounted.rbegin(); it != mounted.rend(); ++it)
            umount2 (it->getFullPathName().toRawUTF8(), MNT_DETACH);

        mounted.clear();
    }

    /** Makes `folder` a mount point of itself: it can then be neither renamed nor deleted. */
    bool bindOnItself (const juce::File& folder)
    {
        const auto path = folder.getFullPathName();
        return remember (folder, mount (path.toRawUTF8(), path.toRawUTF8(), nullptr, MS_BIND, nullptr));
    }

    bool mountTmpfs (const juce::File& folder, const char* size)
    {
        folder.createDirectory();
        const auto options = juce::String ("size=") + size;
        return remember (folder, mount ("qv-test", folder.getFullPathName().toRawUTF8(), "tmpfs", 0, options.toRawUTF8()));
    }

    bool bindReadOnly (const juce::File& folder)
    {
        const auto path = folder.getFullPathName().toRawUTF8();
        return remember (folder, mount (path, path, nullptr, MS_BIND, nullptr))
            && mount (nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }

    static juce::uint64 freeBlocks (const juce::File& folder)
    {
        struct statvfs info = {};
        statvfs (folder.getFullPathName().toRawUTF8(), &info);
        return info.f_bfree;
    }

private:
    bool remember (const juce::File& folder, int mountResult)
    {
        if (mountResult != 0)
            return false;

        mounted.push_back (folder);
        return true;
    }

    std::vector<juce::File> mounted;
};

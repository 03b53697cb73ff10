#include "EngineHelperHooks.h"
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <mutex>
#include <unistd.h>

// The engine renames through renameat2() and flushes through fsync() and fdatasync(); these
// definitions stand in for the C library's in the helper, record renames and full flushes and,
// for renames, die on the chosen one, after the rename has taken effect. With
// QV_HELPER_FAILING_DATA_FLUSH set, fdatasync() fails as on a disk that cannot be written.
namespace
{
    int killAfter = 0;
    int moves = 0;
    std::mutex eventsLock;
    std::vector<std::string> events;

    template <typename Function>
    Function realFunction (const char* name)
    {
        Function function = nullptr;
        auto* symbol = dlsym (RTLD_NEXT, name);
        std::memcpy (&function, &symbol, sizeof (function));
        return function;
    }

    void record (std::string event)
    {
        const std::lock_guard<std::mutex> lock (eventsLock);
        events.push_back (std::move (event));
    }
}

void killAfterMove (int n) { killAfter = n; }
int movesMade() { return moves; }

std::vector<std::string> fileEvents()
{
    const std::lock_guard<std::mutex> lock (eventsLock);
    return events;
}

extern "C" int renameat2 (int oldDirectory, const char* oldPath, int newDirectory, const char* newPath, unsigned int flags) noexcept
{
    using Rename = int (*) (int, const char*, int, const char*, unsigned int);
    static const auto real = realFunction<Rename> ("renameat2");

    const auto result = real (oldDirectory, oldPath, newDirectory, newPath, flags);

    if (result == 0)
        record (std::string ("move\t") + oldPath + "\t" + newPath);

    if (++moves == killAfter)
        std::raise (SIGKILL);

    return result;
}

extern "C" int fsync (int fd)
{
    using Flush = int (*) (int);
    static const auto real = realFunction<Flush> ("fsync");

    const auto result = real (fd);
    char path[PATH_MAX] {};
    const auto length = readlink (("/proc/self/fd/" + std::to_string (fd)).c_str(), path, sizeof (path) - 1);

    if (result == 0 && length > 0)
        record ("flush\t" + std::string (path, (size_t) length));

    return result;
}

extern "C" int fdatasync (int fd)
{
    using Flush = int (*) (int);
    static const auto real = realFunction<Flush> ("fdatasync");

    if (std::getenv ("QV_HELPER_FAILING_DATA_FLUSH") != nullptr)
    {
        errno = EIO;
        return -1;
    }

    return real (fd);
}

#include "EngineHelperKillPoints.h"
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>

// The engine renames through renameat2(); this definition stands in for the C library's in the
// helper, counts the calls and dies on the chosen one, after the rename has taken effect.
namespace
{
int killAfter = 0;
int moves = 0;
}

void killAfterMove (int n) { killAfter = n; }
int movesMade() { return moves; }

extern "C" int renameat2 (int oldDirectory, const char* oldPath, int newDirectory, const char* newPath, unsigned int flags) noexcept
{
    using Rename = int (*) (int, const char*, int, const char*, unsigned int);
    static const auto real = []
    {
        Rename function = nullptr;
        auto* symbol = dlsym (RTLD_NEXT, "renameat2");
        std::memcpy (&function, &symbol, sizeof (function));
        return function;
    }();

    const auto result = real (oldDirectory, oldPath, newDirectory, newPath, flags);

    if (++moves == killAfter)
        std::raise (SIGKILL);

    return result;
}

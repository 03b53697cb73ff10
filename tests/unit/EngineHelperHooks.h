#pragma once

#include <string>
#include <vector>

/** Makes the process kill itself with SIGKILL straight after its n-th rename (0: never). */
void killAfterMove (int n);

/** How many renames the process has made. */
int movesMade();

/** The renames and full flushes the process has made, in order, from every thread:
    "move\t<from>\t<to>" and "flush\t<file>". */
std::vector<std::string> fileEvents();

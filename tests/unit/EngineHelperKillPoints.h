#pragma once

/** Makes the process kill itself with SIGKILL straight after its n-th rename (0: never). */
void killAfterMove (int n);

/** How many renames the process has made. */
int movesMade();

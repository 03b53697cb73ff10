/* A stand-in plug-in host: loads a plug-in module the way a host does and keeps it loaded until
   it is killed. It says "loaded" on standard output once the module is mapped.
   Usage: qv_host <module> */

#include <dlfcn.h>
#include <stdio.h>
#include <unistd.h>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf (stderr, "usage: %s <module>\n", argv[0]);
        return 2;
    }

    void* module = dlopen (argv[1], RTLD_NOW | RTLD_LOCAL);

    if (module == NULL)
    {
        fprintf (stderr, "%s\n", dlerror());
        return 1;
    }

    printf ("loaded\n");
    fflush (stdout);

    for (;;)
        pause();
}

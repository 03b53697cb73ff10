/* Tells whether DXGI can be had where it runs, as JUCE asks for it (CreateDXGIFactory).

   Prints the call's result and exits with 0 when it gave a factory, 1 when it did not. */

#include <windows.h>
#include <dxgi.h>

#include <stdio.h>

int main (void)
{
    IDXGIFactory* factory = NULL;
    const HRESULT result = CreateDXGIFactory (&IID_IDXGIFactory, (void**) &factory);
    printf ("CreateDXGIFactory 0x%08lx\n", (unsigned long) result);

    if (FAILED (result) || factory == NULL)
        return 1;

    factory->lpVtbl->Release (factory);
    return 0;
}

/* Harness probe: "makelink LINK TARGET" saves a shell shortcut LINK that
 * points to TARGET. Exits 0 on success, 1 on failure, 2 on bad usage. */
#define COBJMACROS
#include <windows.h>
#include <shlobj.h>

int wmain(int argc, wchar_t **argv)
{
    IShellLinkW *link = NULL;
    IPersistFile *file = NULL;
    HRESULT result;

    if (argc != 3)
        return 2;
    if (FAILED(CoInitialize(NULL)))
        return 1;
    result = CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkW,
                              (void **)&link);
    if (SUCCEEDED(result))
        result = IShellLinkW_SetPath(link, argv[2]);
    if (SUCCEEDED(result))
        result = IShellLinkW_QueryInterface(link, &IID_IPersistFile, (void **)&file);
    if (SUCCEEDED(result))
        result = IPersistFile_Save(file, argv[1], TRUE);
    if (file)
        IPersistFile_Release(file);
    if (link)
        IShellLinkW_Release(link);
    CoUninitialize();
    return SUCCEEDED(result) ? 0 : 1;
}

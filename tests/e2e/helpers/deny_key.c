/* Test helper: "deny_key KEY [UNINSTALL_STRING]" makes the key KEY under
 * HKEY_LOCAL_MACHINE refuse writes, as it does for a user without the right
 * to change the machine's settings: it creates the key (with the value
 * UninstallString when given), then sets a security descriptor on it that
 * denies everyone setting values and creating subkeys. The descriptor lasts
 * while the wineserver runs. Exits 0 when done, 1 on a failed call (printing
 * which and its error code), 2 on bad usage. */
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <sddl.h>

static int failed(const char *call, long code)
{
    printf("%s failed: %ld\n", call, code);
    return 1;
}

int main(int argc, char **argv)
{
    HKEY key;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    LONG result;

    if (argc != 2 && argc != 3)
        return 2;
    result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, argv[1], 0, NULL, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, NULL, &key, NULL);
    if (result != ERROR_SUCCESS)
        return failed("RegCreateKeyExA", result);
    if (argc == 3) {
        result = RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)argv[2],
                                (DWORD)strlen(argv[2]) + 1);
        if (result != ERROR_SUCCESS)
            return failed("RegSetValueExA", result);
    }
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:P(D;OICI;0x6;;;WD)(A;OICI;KA;;;WD)", SDDL_REVISION_1, &descriptor, NULL))
        return failed("ConvertStringSecurityDescriptorToSecurityDescriptorA", (long)GetLastError());
    result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return failed("RegSetKeySecurity", result);
    return 0;
}

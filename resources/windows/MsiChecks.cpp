// The MSI package's custom actions.
//
// RefuseWhileRunning: Koerswacht must not be running while the package installs, upgrades or
// removes it. Windows Installer would otherwise leave the program file in use for a restart to
// replace or remove, and say only "restart required" (3010). The package refuses instead, with a
// message and its failure code (1603), as the NSIS setup refuses.
//
// CheckSetupCopy and TakeOverSetupCopy: on one PC there is one copy, and the package's wins over a
// copy of the NSIS setup's, unless that copy is newer (no downgrade, as between packages). The check
// runs before anything changes; the take-over runs in the installation script, as LocalSystem,
// since the NSIS uninstaller needs an administrator's rights that a user who started the package
// under UAC does not have. A setup copy whose folder is gone leaves only its entry and shortcut,
// which the take-over removes.

#include "Version.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

namespace {

constexpr wchar_t SetupUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Koerswacht";
// The NSIS uninstaller takes seconds; one that has not ended in this time will not.
constexpr DWORD UninstallWithin = 5 * 60 * 1000;

void say(MSIHANDLE install, const wchar_t* text) {
    const MSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, text);
    // Shown with a user interface; with /qn only written to the log (/l*v).
    MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONWARNING),
                      record);
    MsiCloseHandle(record);
}

// A property or the custom action data, into `value` (at most `size` characters with the end).
bool property(MSIHANDLE install, const wchar_t* name, wchar_t* value, DWORD size) {
    return MsiGetPropertyW(install, name, value, &size) == ERROR_SUCCESS && value[0] != L'\0';
}

// Compares two versions "a.b.c[.d]" number by number: below, equal or above zero.
int compareVersions(const wchar_t* left, const wchar_t* right) {
    while (*left != L'\0' || *right != L'\0') {
        unsigned a = 0;
        unsigned b = 0;
        for (; *left >= L'0' && *left <= L'9'; ++left)
            a = a * 10 + unsigned(*left - L'0');
        for (; *right >= L'0' && *right <= L'9'; ++right)
            b = b * 10 + unsigned(*right - L'0');
        if (a != b)
            return a < b ? -1 : 1;
        if (*left != L'\0')
            ++left;
        if (*right != L'\0')
            ++right;
    }
    return 0;
}

// The DLL has no C runtime, so no memset that zeroing an array or a structure would call: texts
// are started empty by hand, structures cleared by Windows' own inline loop.
void append(wchar_t* to, DWORD size, const wchar_t* text) {
    const int used = lstrlenW(to);
    lstrcpynW(to + used, text, int(size) - used);
}

} // namespace

// Built without the C runtime (four kilobytes, not thirteen, in a package that counts them): this is
// the DLL's whole entry point.
extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

extern "C" __declspec(dllexport) UINT __stdcall RefuseWhileRunning(MSIHANDLE install) {
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, KOERSWACHT_RUNNING_MUTEX);
    if (running == nullptr)
        return ERROR_SUCCESS;
    CloseHandle(running);
    say(install, L"Koerswacht is nog geopend. Sluit Koerswacht en probeer het opnieuw.");
    return ERROR_INSTALL_FAILURE;
}

// Immediate: refuses a setup copy newer than this package, and otherwise hands the take-over what
// it needs (SETUPCOPY and SETUPVERSION come from the copy's uninstall entry).
extern "C" __declspec(dllexport) UINT __stdcall CheckSetupCopy(MSIHANDLE install) {
    wchar_t copy[MAX_PATH];
    wchar_t copyVersion[64];
    wchar_t version[64];
    if (!property(install, L"SETUPCOPY", copy, MAX_PATH))
        return ERROR_SUCCESS;
    if (property(install, L"SETUPVERSION", copyVersion, 64) &&
        property(install, L"ProductVersion", version, 64) && compareVersions(copyVersion, version) > 0) {
        say(install,
            L"Er is al een nieuwere versie van Koerswacht ge\u00EFnstalleerd; deze versie wordt niet "
            L"ge\u00EFnstalleerd.");
        return ERROR_INSTALL_FAILURE;
    }
    return MsiSetPropertyW(install, L"TakeOverSetupCopy", copy) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                                 : ERROR_INSTALL_FAILURE;
}

// Deferred, not impersonated: removes the setup copy with its own uninstaller, run in its folder so
// that its exit code is heard (2 while Koerswacht runs); a copy of that uninstaller removes itself
// once it has ended. Without an uninstaller the copy is gone already but for its entry and its
// shortcut in all users' Start menu.
extern "C" __declspec(dllexport) UINT __stdcall TakeOverSetupCopy(MSIHANDLE install) {
    wchar_t folder[MAX_PATH];
    if (!property(install, L"CustomActionData", folder, MAX_PATH))
        return ERROR_SUCCESS;
    wchar_t uninstaller[MAX_PATH + 16];
    uninstaller[0] = L'\0';
    append(uninstaller, MAX_PATH + 16, folder);
    append(uninstaller, MAX_PATH + 16, L"\\Uninstall.exe");
    if (GetFileAttributesW(uninstaller) == INVALID_FILE_ATTRIBUTES) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, SetupUninstallKey, KEY_WOW64_64KEY, 0);
        wchar_t shortcut[MAX_PATH + 16];
        if (SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, shortcut) == S_OK) {
            append(shortcut, MAX_PATH + 16, L"\\Koerswacht.lnk");
            DeleteFileW(shortcut);
        }
        return ERROR_SUCCESS;
    }
    wchar_t command[3 * MAX_PATH];
    lstrcpynW(command, L"\"", 2);
    append(command, 3 * MAX_PATH, uninstaller);
    append(command, 3 * MAX_PATH, L"\" /S _?=");
    append(command, 3 * MAX_PATH, folder);
    STARTUPINFOW startup;
    RtlSecureZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(uninstaller, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        return ERROR_INSTALL_FAILURE;
    }
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, UninstallWithin) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &exitCode))
        exitCode = 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0 ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

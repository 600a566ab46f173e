// The MSI package's custom actions.
//
// RefuseWhileRunning: Koerswacht must not be running while the package installs, upgrades or
// removes it. Windows Installer would otherwise leave the program file in use for a restart to
// replace or remove, and say only "restart required" (3010). The package refuses instead, with a
// message and its failure code (1603), as the NSIS setup refuses.
//
// CheckSetupCopy, RollbackSetupCopy, TakeOverSetupCopy and CommitSetupCopy: on one PC there is one
// copy, and the package's wins over a copy of the NSIS setup's, unless that copy is newer (no
// downgrade, as between packages). The check runs before anything changes. The take-over, in the
// installation script as LocalSystem, only sets the copy aside: its folder renamed, its shortcut
// beside that folder, its entry left as it is. Only when the installation commits is all that
// removed for good; when any later step fails, the rollback puts it back, so a failed install
// leaves the copy as it was. The NSIS uninstaller is not used: nothing could undo what it did.
// A copy is its program file: an entry whose folder holds no koerswacht.exe is stale, and its
// version, whatever it says, stops nothing; only its entry and shortcut go.

#include "Version.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>

namespace {

constexpr wchar_t SetupUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Koerswacht";
// What the take-over sets aside is named for the copy's folder: the folder plus this, and its
// shortcut the folder plus this and ".lnk". Renamed, not copied: on the same volume a rename is
// whole or not at all.
constexpr wchar_t Aside[] = L".msi-overname";
constexpr DWORD PathSize = MAX_PATH + 32;
// What the NSIS setup puts in its folder.
constexpr const wchar_t* SetupFiles[] = {L"koerswacht.exe", L"LICENSE.txt", L"THIRD-PARTY-NOTICES.txt",
                                         L"Uninstall.exe"};

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

bool exists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// `folder` with `tail` after it.
void join(wchar_t* to, const wchar_t* folder, const wchar_t* tail) {
    to[0] = L'\0';
    append(to, PathSize, folder);
    append(to, PathSize, tail);
}

// What the take-over, its rollback and its commit work on, from the deferred actions' data: the
// copy's folder, after a "!" when rollback is disabled.
struct SetupCopy {
    wchar_t folder[PathSize];
    wchar_t aside[PathSize];
    wchar_t shortcut[PathSize]; // the NSIS setup's, in all users' Start menu
    wchar_t asideShortcut[PathSize];
    bool rollbackDisabled;
    bool holdsProgram; // its folder holds koerswacht.exe
};

bool setupCopy(MSIHANDLE install, SetupCopy& copy) {
    wchar_t data[PathSize];
    if (!property(install, L"CustomActionData", data, PathSize))
        return false;
    copy.rollbackDisabled = data[0] == L'!';
    join(copy.folder, copy.rollbackDisabled ? data + 1 : data, L"");
    join(copy.aside, copy.folder, L"\\koerswacht.exe");
    copy.holdsProgram = exists(copy.aside);
    join(copy.aside, copy.folder, Aside);
    join(copy.asideShortcut, copy.aside, L".lnk");
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, copy.shortcut) != S_OK)
        return false;
    append(copy.shortcut, PathSize, L"\\Koerswacht.lnk");
    return true;
}

// Moves every file of `from` into `to`, replacing what is there, then removes `from`. The copy's
// folder holds files only. A frame of its own: inlined, its buffers and the caller's would pass the
// 4 KB that a frame may take without the C runtime's stack probe.
[[gnu::noinline]] void moveFiles(const wchar_t* from, const wchar_t* to) {
    wchar_t pattern[PathSize];
    join(pattern, from, L"\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                continue;
            wchar_t source[PathSize];
            wchar_t target[PathSize];
            join(source, from, L"\\");
            append(source, PathSize, found.cFileName);
            join(target, to, L"\\");
            append(target, PathSize, found.cFileName);
            MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(from);
}

// Removes for good what the take-over set aside, and the copy's entry. Of its folder only the files
// the NSIS setup put there go; a folder that still holds others (someone's own) goes back where it
// was, if it can.
void removeAside(const SetupCopy& copy) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, SetupUninstallKey, KEY_WOW64_64KEY, 0);
    DeleteFileW(copy.asideShortcut);
    for (const wchar_t* name : SetupFiles) {
        wchar_t file[PathSize];
        join(file, copy.aside, L"\\");
        append(file, PathSize, name);
        SetFileAttributesW(file, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file);
    }
    if (!RemoveDirectoryW(copy.aside))
        MoveFileExW(copy.aside, copy.folder, 0);
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

// Immediate: refuses a setup copy newer than this package, and otherwise hands the take-over and
// its rollback and commit the copy's folder (SETUPCOPY and SETUPVERSION come from its entry).
extern "C" __declspec(dllexport) UINT __stdcall CheckSetupCopy(MSIHANDLE install) {
    wchar_t copy[MAX_PATH];
    wchar_t copyVersion[64];
    wchar_t version[64];
    if (!property(install, L"SETUPCOPY", copy, MAX_PATH))
        return ERROR_SUCCESS;
    const int length = lstrlenW(copy);
    if (length > 3 && copy[length - 1] == L'\\')
        copy[length - 1] = L'\0';
    wchar_t program[PathSize];
    join(program, copy, L"\\koerswacht.exe");
    if (exists(program) && property(install, L"SETUPVERSION", copyVersion, 64) &&
        property(install, L"ProductVersion", version, 64) && compareVersions(copyVersion, version) > 0) {
        say(install,
            L"Er is al een nieuwere versie van Koerswacht ge\u00EFnstalleerd; deze versie wordt niet "
            L"ge\u00EFnstalleerd.");
        return ERROR_INSTALL_FAILURE;
    }
    // Without rollback there is no commit either: the take-over then removes the copy itself.
    wchar_t data[PathSize];
    wchar_t disabled[8];
    join(data, property(install, L"RollbackDisabled", disabled, 8) ? L"!" : L"", copy);
    const bool handed = MsiSetPropertyW(install, L"RollbackSetupCopy", data) == ERROR_SUCCESS &&
                        MsiSetPropertyW(install, L"TakeOverSetupCopy", data) == ERROR_SUCCESS &&
                        MsiSetPropertyW(install, L"CommitSetupCopy", data) == ERROR_SUCCESS;
    return handed ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

// Rollback: puts back what the take-over set aside, also when it stopped halfway. Windows Installer
// has by then removed this package's files; whatever of them is still there gives way to the copy's.
extern "C" __declspec(dllexport) UINT __stdcall RollbackSetupCopy(MSIHANDLE install) {
    SetupCopy copy;
    if (!setupCopy(install, copy))
        return ERROR_SUCCESS;
    if (exists(copy.asideShortcut))
        MoveFileExW(copy.asideShortcut, copy.shortcut, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    if (exists(copy.aside) && !MoveFileExW(copy.aside, copy.folder, 0)) {
        CreateDirectoryW(copy.folder, nullptr);
        moveFiles(copy.aside, copy.folder);
    }
    return ERROR_SUCCESS;
}

// Deferred: sets the copy aside. Fails, and the rollback undoes it, when its folder cannot be renamed
// (a file in it is open, or a folder of that name is there already).
extern "C" __declspec(dllexport) UINT __stdcall TakeOverSetupCopy(MSIHANDLE install) {
    SetupCopy copy;
    if (!setupCopy(install, copy))
        return ERROR_SUCCESS;
    // A folder without the program file is no copy's: it stays as it is.
    if (copy.holdsProgram && !MoveFileExW(copy.folder, copy.aside, 0))
        return ERROR_INSTALL_FAILURE;
    if (exists(copy.shortcut) &&
        !MoveFileExW(copy.shortcut, copy.asideShortcut, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return ERROR_INSTALL_FAILURE;
    if (copy.rollbackDisabled)
        removeAside(copy);
    return ERROR_SUCCESS;
}

// Commit: the installation is whole, and the copy goes for good.
extern "C" __declspec(dllexport) UINT __stdcall CommitSetupCopy(MSIHANDLE install) {
    SetupCopy copy;
    if (setupCopy(install, copy))
        removeAside(copy);
    return ERROR_SUCCESS;
}

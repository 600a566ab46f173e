// The MSI package's one check of its own: Koerswacht must not be running while the package
// installs, upgrades or removes it. Windows Installer would otherwise leave the program file in
// use for a restart to replace or remove, and say only "restart required" (3010). The package
// refuses instead, with a message and its failure code (1603), as the NSIS setup refuses.

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

namespace {

// Held by a running Koerswacht (app/Program.cpp).
constexpr wchar_t RunningMutex[] = L"KoerswachtRunning";

} // namespace

// Built without the C runtime (four kilobytes, not thirteen, in a package that counts them): this is
// the DLL's whole entry point.
extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

extern "C" __declspec(dllexport) UINT __stdcall RefuseWhileRunning(MSIHANDLE install) {
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, RunningMutex);
    if (running == nullptr)
        return ERROR_SUCCESS;
    CloseHandle(running);
    const MSIHANDLE record = MsiCreateRecord(1);
    MsiRecordSetStringW(record, 0, L"Koerswacht is nog geopend. Sluit Koerswacht en probeer het opnieuw.");
    // Shown with a user interface; with /qn only written to the log (/l*v).
    MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONWARNING),
                      record);
    MsiCloseHandle(record);
    return ERROR_INSTALL_FAILURE;
}

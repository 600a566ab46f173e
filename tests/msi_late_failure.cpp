// A step that fails late in an installation, for the tests' copy of the MSI package
// (LateFailure.cmake): it stands in for a file that cannot be written, a full disk or Cancel. It
// returns what such a step returns, and changes nothing. Never shipped.
#include <windows.h>

#include <msi.h>

extern "C" BOOL WINAPI DllEntry(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

extern "C" __declspec(dllexport) UINT __stdcall FailLate(MSIHANDLE) {
    return ERROR_INSTALL_FAILURE;
}

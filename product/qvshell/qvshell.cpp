// Qvshell.dll: the shell's Find menu extension of Quorvik, registered as
// an in-process COM server.  Its first icon is the one the Find menu
// shows.  It offers no class objects yet: the shell asks and is told so.
#include <windows.h>
#include <objbase.h>

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (object != NULL) *object = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}

// Nothing is ever handed out, so nothing holds the library.
extern "C" HRESULT WINAPI DllCanUnloadNow(void) { return S_OK; }

// No C runtime: the library keeps no state, so attaching needs no work.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

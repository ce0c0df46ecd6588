#include "shell/machine_lock.h"

#include <windows.h>

namespace {

// Two runs share the staged names in the temporary folder, the install
// folder and the machine-wide records.  The name lives in the global
// namespace, so a deployment running as SYSTEM and a user's run in their
// own session meet here.  A name that exists but may not be opened (access
// denied) was made by someone else first and counts as a run under way:
// any user can hold the name and so keep installations waiting, which is
// preferred to two of them at once.  The handle stays open until the
// process ends.
const char MachineLockName[] = "Global\\Kestrova.Quorvik.Setup";

}  // namespace

int TakeMachineLock() {
    HANDLE mutex = CreateMutexA(NULL, FALSE, MachineLockName);
    DWORD error = GetLastError();
    if (!mutex) return error != ERROR_ACCESS_DENIED;
    return error != ERROR_ALREADY_EXISTS;
}

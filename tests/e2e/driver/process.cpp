// Processes started by a scenario, the polling that every wait shares, and
// the run's folders.
#include <stdio.h>
#include <string.h>

#include "internal.h"

namespace {

const int kMaxProcesses = 16;
DrvProcess g_processes[kMaxProcesses];
int g_processCount;

char g_artifactDir[MAX_PATH];

// 0 until read from the environment.
DWORD g_waitScale;

DWORD WaitScale(void) {
    if (g_waitScale) return g_waitScale;
    g_waitScale = 1;
    char text[16];
    DWORD n = GetEnvironmentVariableA("KESTROVA_E2E_WAIT_SCALE", text, sizeof text);
    if (n == 0) return g_waitScale;
    DWORD value = 0;
    int ok = n < sizeof text;
    for (DWORD i = 0; ok && i < n; ++i) {
        ok = text[i] >= '0' && text[i] <= '9';
        if (ok) value = value * 10 + (DWORD)(text[i] - '0');
        ok = ok && value <= 100;
    }
    if (ok && value >= 1) {
        g_waitScale = value;
    } else {
        DrvLog("KESTROVA_E2E_WAIT_SCALE is not a whole number from 1 to 100; 1 is used");
    }
    return g_waitScale;
}

const char* FileName(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c) {
        if (*c == '\\' || *c == '/') name = c + 1;
    }
    return name;
}

// The folder part of `path`, without its last backslash; 0 when the path
// has no folder part or it does not fit.
int FolderOf(const char* path, char* folder, int size) {
    const char* name = FileName(path);
    int len = (int)(name - path);
    if (len == 0 || len >= size) return 0;
    memcpy(folder, path, len);
    folder[len] = 0;
    // Keep the backslash of a drive root ("C:\"), drop any other.
    if (len > 3 && (folder[len - 1] == '\\' || folder[len - 1] == '/')) {
        folder[len - 1] = 0;
    }
    return 1;
}

}  // namespace

DrvProcess* DrvStartProgram(const char* exe, const char* args, const char* folder) {
    if (g_processCount >= kMaxProcesses) {
        DrvLog("cannot start %s: more than %d processes", exe, kMaxProcesses);
        return NULL;
    }
    char commandLine[2048];
    int n = snprintf(commandLine, sizeof commandLine, "\"%s\"%s%s", exe, args ? " " : "",
                     args ? args : "");
    if (n < 0 || n >= (int)sizeof commandLine) {
        DrvLog("cannot start %s: command line too long", exe);
        return NULL;
    }
    char exeFolder[MAX_PATH];
    if (!folder && FolderOf(exe, exeFolder, sizeof exeFolder)) folder = exeFolder;

    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup, &info)) {
        DrvLog("cannot start %s in %s: error %lu", commandLine,
               folder ? folder : "(current folder)", GetLastError());
        return NULL;
    }
    CloseHandle(info.hThread);

    DrvProcess* p = &g_processes[g_processCount++];
    memset(p, 0, sizeof *p);
    p->process = info.hProcess;
    p->pid = info.dwProcessId;
    p->threadId = info.dwThreadId;
    snprintf(p->name, sizeof p->name, "%s", FileName(exe));
    DrvLog("started %s (pid %lu) in %s", commandLine, p->pid, folder ? folder : "(current folder)");
    return p;
}

int DrvIsRunning(DrvProcess* p) {
    if (!p) return 0;
    if (p->exited) return 0;
    if (WaitForSingleObject(p->process, 0) != WAIT_OBJECT_0) return 1;
    DWORD code = 0;
    GetExitCodeProcess(p->process, &code);
    p->exitCode = code;
    p->exited = 1;
    DrvLog("%s (pid %lu) ended with exit code %lu", p->name, p->pid, code);
    return 0;
}

DWORD DrvBound(DWORD ms) {
    DWORD scale = WaitScale();
    // No bound may wrap into a short one.
    return ms > 0xFFFFFFF0u / scale ? 0xFFFFFFF0u : ms * scale;
}

int DrvWaitExit(DrvProcess* p, DWORD timeoutMs, DWORD* exitCode) {
    if (!p) return 0;
    timeoutMs = DrvBound(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        DrvPollTick();
        if (!DrvIsRunning(p)) {
            if (exitCode) *exitCode = p->exitCode;
            return 1;
        }
        if (DrvSince(start) >= timeoutMs) break;
        WaitForSingleObject(p->process, 25);
    }
    DrvLog("%s still running after %lu ms; its windows:", p->name, timeoutMs);
    DrvLogWindows(p);
    return 0;
}

int DrvKillLeftovers(void) {
    int killed = 0;
    for (int i = 0; i < g_processCount; ++i) {
        DrvProcess* p = &g_processes[i];
        if (!DrvIsRunning(p)) continue;
        DrvLog("%s (pid %lu) is still running; its windows:", p->name, p->pid);
        DrvLogWindows(p);
        TerminateProcess(p->process, 255);
        WaitForSingleObject(p->process, 5000);
        DrvIsRunning(p);
        ++killed;
    }
    return killed;
}

void DrvPollTick(void) {
    for (int i = 0; i < g_processCount; ++i) {
        DrvProcess* p = &g_processes[i];
        if (!DrvIsRunning(p)) continue;
        DrvNoteWindows(p);
        DrvNoteMessageBoxes(p);
    }
}

void DrvPause(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DrvPollTick();
        DWORD elapsed = DrvSince(start);
        if (elapsed >= ms) return;
        DWORD left = ms - elapsed;
        Sleep(left < 25 ? left : 25);
    }
}

int DrvHostPath(const char* in, char* out, int size) {
    int len = (int)strlen(in);
    if (in[0] != '/') {
        if (len >= size) return 0;
        memcpy(out, in, len + 1);
        return 1;
    }
    // Wine maps drive Z: to the root of the Linux file system.
    if (len + 2 >= size) return 0;
    out[0] = 'Z';
    out[1] = ':';
    for (int i = 0; i <= len; ++i) out[i + 2] = in[i] == '/' ? '\\' : in[i];
    return 1;
}

int DrvSetArtifactDir(const char* folder) {
    int len = (int)strlen(folder);
    if (len >= (int)sizeof g_artifactDir) return 0;
    memcpy(g_artifactDir, folder, len + 1);
    return 1;
}

const char* DrvArtifactDir(void) { return g_artifactDir; }

// The runner: the scenario table and main, the one wait, the processes
// started and the windows they have shown.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "internal.h"

namespace {

struct Scenario {
    const char* name;
    DrvScenarioFn fn;
};
Scenario g_scenarios[64];
int g_scenarioCount;

DrvProcess g_processes[16];
int g_processCount;

struct SeenWindow {
    DWORD pid;
    HWND window;
    char className[64];
};
SeenWindow g_seen[256];
int g_seenCount;

char g_artifacts[MAX_PATH];
DWORD g_scale;

void Describe(HWND window, char* out, int size) {
    char className[64] = "", caption[256] = "", quoted[320];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    Quote(caption, quoted, sizeof quoted);
    RECT r = {};
    GetWindowRect(window, &r);
    snprintf(out, size, "%p class %s caption %s at (%ld, %ld)-(%ld, %ld)", (void*)window,
             className, quoted, r.left, r.top, r.right, r.bottom);
}

void NoteWindows(DrvProcess* p) {
    HWND windows[64];
    int count = DrvListWindows(p, windows, 64);
    for (int i = 0; i < count && i < 64; ++i) {
        char className[64] = "";
        GetClassNameA(windows[i], className, sizeof className);
        int known = 0;
        for (int j = 0; j < g_seenCount && !known; ++j)
            known = g_seen[j].window == windows[i] && strcmp(g_seen[j].className, className) == 0;
        if (known || g_seenCount == (int)(sizeof g_seen / sizeof g_seen[0])) continue;
        g_seen[g_seenCount] = {p->pid, windows[i], ""};
        lstrcpynA(g_seen[g_seenCount++].className, className, 64);
        char text[512];
        Describe(windows[i], text, sizeof text);
        Log("window shown: %s", text);
    }
}

// One look at every process still running.
void Notice(void) {
    for (int i = 0; i < g_processCount; ++i) {
        if (!DrvIsRunning(&g_processes[i])) continue;
        NoteWindows(&g_processes[i]);
        DrvNoteMessageBoxes(&g_processes[i]);
    }
}

struct ListContext {
    DWORD pid;
    HWND* out;
    int max, count;
};

BOOL CALLBACK ListProc(HWND window, LPARAM param) {
    ListContext* list = (ListContext*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == list->pid && IsWindowVisible(window)) {
        if (list->count < list->max) list->out[list->count] = window;
        ++list->count;
    }
    return TRUE;
}

int EndLeftovers(void) {
    int ended = 0;
    for (int i = 0; i < g_processCount; ++i) {
        DrvProcess* p = &g_processes[i];
        if (!DrvIsRunning(p)) continue;
        Log("%s (pid %lu) is still running; its windows:", p->name, p->pid);
        DrvLogWindows(p);
        TerminateProcess(p->process, 255);
        WaitForSingleObject(p->process, 5000);
        ++ended;
    }
    return ended;
}

}  // namespace

int DrvRegisterScenario(const char* name, DrvScenarioFn fn) {
    if (g_scenarioCount == (int)(sizeof g_scenarios / sizeof g_scenarios[0])) return 0;
    g_scenarios[g_scenarioCount++] = {name, fn};
    return 1;
}

DWORD DrvBound(DWORD ms) {
    if (!g_scale) {
        char text[8] = "";
        GetEnvironmentVariableA("KESTROVA_E2E_WAIT_SCALE", text, sizeof text);
        int scale = atoi(text);
        g_scale = scale >= 1 && scale <= 100 ? (DWORD)scale : 1;
    }
    return ms * g_scale;
}

int DrvWaitUntil(DWORD ms, const char* what, int (*ready)(void*), void* context) {
    const DWORD bound = DrvBound(ms), start = GetTickCount();
    for (;;) {
        Notice();
        if (ready(context)) return 1;
        if (GetTickCount() - start >= bound) break;
        Sleep(25);
    }
    Log("after %lu ms still waiting for %s", bound, what);
    return 0;
}

void DrvPause(DWORD ms) {
    const DWORD start = GetTickCount();
    DrvWaitFor(ms, "a pause", [&] { return GetTickCount() - start >= ms; });
}

DrvProcess* DrvStart(const char* exe, const char* args) {
    char command[2048], folder[MAX_PATH];
    int n = snprintf(command, sizeof command, "\"%s\"%s%s", exe, args ? " " : "", args ? args : "");
    lstrcpynA(folder, exe, sizeof folder);
    char* slash = strrchr(folder, '\\');
    if (slash) *slash = '\0';
    if (g_processCount == (int)(sizeof g_processes / sizeof g_processes[0]) || n < 0 ||
        n >= (int)sizeof command || !slash) {
        Log("cannot start %s: too many processes or too long a command line", exe);
        return NULL;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, folder, &startup, &info)) {
        Log("cannot start %s: error %lu", command, GetLastError());
        return NULL;
    }
    CloseHandle(info.hThread);
    DrvProcess* p = &g_processes[g_processCount++];
    *p = {info.hProcess, info.dwProcessId, 0, 0, ""};
    lstrcpynA(p->name, exe + (slash + 1 - folder), sizeof p->name);
    Log("started %s (pid %lu)", command, p->pid);
    return p;
}

int DrvIsRunning(DrvProcess* p) {
    if (!p || p->exited) return 0;
    if (WaitForSingleObject(p->process, 0) != WAIT_OBJECT_0) return 1;
    GetExitCodeProcess(p->process, &p->exitCode);
    p->exited = 1;
    Log("%s (pid %lu) ended with exit code %lu", p->name, p->pid, p->exitCode);
    return 0;
}

int DrvWaitExit(DrvProcess* p, DWORD ms) {
    if (p && DrvWaitFor(ms, "the end of a process", [&] { return !DrvIsRunning(p); })) return 1;
    if (p) DrvLogWindows(p);
    return 0;
}

int DrvListWindows(DrvProcess* p, HWND* out, int max) {
    ListContext list = {p->pid, out, max, 0};
    EnumWindows(ListProc, (LPARAM)&list);
    return list.count;
}

void DrvLogWindows(DrvProcess* p) {
    HWND windows[64];
    int count = DrvListWindows(p, windows, 64);
    if (count == 0) Log("  %s shows no window", p->name);
    for (int i = 0; i < count && i < 64; ++i) {
        char text[512];
        Describe(windows[i], text, sizeof text);
        Log("  %s", text);
    }
}

HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className) {
    HWND found = NULL;
    auto look = [&] {
        HWND windows[64];
        int count = p ? DrvListWindows(p, windows, 64) : 0;
        for (int i = 0; i < count && i < 64 && !found; ++i) {
            char text[512] = "", name[64] = "";
            GetWindowTextA(windows[i], text, sizeof text);
            GetClassNameA(windows[i], name, sizeof name);
            if (strcmp(text, caption) == 0 && (!className || strcmp(name, className) == 0))
                found = windows[i];
        }
        return found != NULL || !DrvIsRunning(p);
    };
    if (DrvWaitFor(DRV_WAIT, caption, look) && found) return found;
    Log("no window \"%s\"; the windows shown:", caption);
    if (p) DrvLogWindows(p);
    return NULL;
}

int DrvWaitWindowGone(HWND window, DWORD ms) {
    return DrvWaitFor(ms, "a window to close",
                      [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

int DrvSawWindowClass(DrvProcess* p, const char* className) {
    if (DrvIsRunning(p)) NoteWindows(p);
    for (int i = 0; i < g_seenCount; ++i)
        if (g_seen[i].pid == p->pid && strcmp(g_seen[i].className, className) == 0) return 1;
    return 0;
}

const char* DrvArtifactDir(void) { return g_artifacts; }

int main(int argc, char** argv) {
    const Scenario* scenario = NULL;
    for (int i = 0; argc == 4 && i < g_scenarioCount; ++i)
        if (strcmp(g_scenarios[i].name, argv[1]) == 0) scenario = &g_scenarios[i];
    static char installer[MAX_PATH], log[MAX_PATH + 16];
    if (!scenario || !HostPath(argv[2], installer, sizeof installer) ||
        !HostPath(argv[3], g_artifacts, sizeof g_artifacts)) {
        printf("usage: kestrova_e2e.exe SCENARIO INSTALLER ARTIFACTS; the scenarios:\n");
        for (int i = 0; i < g_scenarioCount; ++i) printf("  %s\n", g_scenarios[i].name);
        return 2;
    }
    CreateDirectoryA(g_artifacts, NULL);
    snprintf(log, sizeof log, "%s\\e2e.log", g_artifacts);
    if (!OpenLog(log)) printf("cannot write %s\n", log);
    DrvContext ctx = {installer, g_artifacts};
    Log("scenario %s: installer %s, wait bounds times %lu", argv[1], installer, DrvBound(1));
    scenario->fn(&ctx);
    CHECK_EQ_INT(EndLeftovers(), 0);
    return Summary(argv[1]);
}

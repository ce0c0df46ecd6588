// The runner: the scenario table and main, the one wait, the processes
// started and the windows they have shown.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "internal.h"

namespace {

std::pair<const char*, DrvScenarioFn> g_scenarios[64];
int g_scenarioCount;
const int ProcessLimit = 32;
DrvProcess g_processes[ProcessLimit];
int g_processCount;
struct SeenWindow {
    DWORD pid;
    HWND window;
    char className[64];
};
SeenWindow g_seen[256];
int g_seenCount;
char g_artifacts[MAX_PATH];

void LogWindow(const char* what, HWND window) {
    char className[64] = "", caption[256] = "";
    RECT r = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    GetWindowRect(window, &r);
    Log("%s: %p class %s \"%s\" at (%ld, %ld)-(%ld, %ld)", what, (void*)window, className, caption,
        r.left, r.top, r.right, r.bottom);
}

void NoteWindows(DrvProcess* p) {
    for (HWND window : DrvListWindows(p)) {
        SeenWindow seen = {p->pid, window, ""};
        GetClassNameA(window, seen.className, sizeof seen.className);
        int known = g_seenCount == 256;
        for (int j = 0; j < g_seenCount && !known; ++j)
            known = g_seen[j].window == seen.window && !strcmp(g_seen[j].className, seen.className);
        if (known) continue;
        g_seen[g_seenCount++] = seen;
        LogWindow("window shown", window);
    }
}

typedef std::pair<DWORD, std::vector<HWND>> WindowList;  // a process and its windows

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
    WindowList* list = (WindowList*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == list->first && IsWindowVisible(window)) list->second.push_back(window);
    return TRUE;
}

// A Linux path as Wine's drive Z: shows it ("/a/b" is "Z:\a\b").
int HostPath(const char* in, char* out, int size) {
    std::string path = in[0] == '/' ? "Z:" + std::string(in) : std::string(in);
    std::replace(path.begin(), path.end(), '/', '\\');
    if ((int)path.size() >= size) return 0;
    lstrcpyA(out, path.c_str());
    return 1;
}

}  // namespace

int DrvRegisterScenario(const char* name, DrvScenarioFn fn) {
    g_scenarios[g_scenarioCount++] = {name, fn};
    return 1;
}

DWORD DrvBound(DWORD ms) {
    static DWORD scale;
    if (!scale) {
        char text[8] = "";
        GetEnvironmentVariableA("KESTROVA_E2E_WAIT_SCALE", text, sizeof text);
        scale = atoi(text) >= 1 && atoi(text) <= 100 ? (DWORD)atoi(text) : 1;
    }
    return ms * scale;
}

int DrvWaitFor(DWORD ms, const char* what, const std::function<bool()>& ready) {
    const DWORD bound = DrvBound(ms), start = GetTickCount();
    for (;;) {
        for (int i = 0; i < g_processCount; ++i) {
            if (!DrvIsRunning(&g_processes[i])) continue;
            NoteWindows(&g_processes[i]);
            DrvNoteMessageBoxes(&g_processes[i]);
        }
        if (ready()) return 1;
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
    char command[2048];
    snprintf(command, sizeof command, "\"%s\" %s", exe, args ? args : "");
    return DrvStartLine(exe, command);
}

DrvProcess* DrvStartLine(const char* exe, const char* commandLine) {
    char command[2048], folder[MAX_PATH];
    lstrcpynA(command, commandLine, sizeof command);
    lstrcpynA(folder, exe, sizeof folder);
    char* slash = strrchr(folder, '\\');
    if (slash) *slash = '\0';
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (g_processCount == ProcessLimit) {
        Log("cannot start %s: %d processes started already", command, ProcessLimit);
        return NULL;
    }
    if (!slash ||
        !CreateProcessA(exe, command, NULL, NULL, FALSE, 0, NULL, folder, &startup, &info)) {
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
    if (p && DrvWaitFor(ms, "a process to end", [&] { return !DrvIsRunning(p); })) return 1;
    DrvLogWindows(p);
    return 0;
}

std::vector<HWND> DrvListWindows(DrvProcess* p) {
    WindowList list = {p ? p->pid : 0, {}};
    if (p) EnumWindows(AddWindow, (LPARAM)&list);
    return list.second;
}

void DrvLogWindows(DrvProcess* p) {
    for (HWND window : DrvListWindows(p)) LogWindow("  still shown", window);
}

HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className) {
    HWND found = NULL;
    auto look = [&] {
        for (HWND window : DrvListWindows(p)) {
            char text[256] = "", name[64] = "";
            GetWindowTextA(window, text, sizeof text);
            GetClassNameA(window, name, sizeof name);
            if (!found && !strcmp(text, caption) && (!className || !strcmp(name, className)))
                found = window;
        }
        return found || !DrvIsRunning(p);
    };
    if (!DrvWaitFor(DRV_WAIT, caption, look) || !found) {
        Log("no window \"%s\"", caption);
        DrvLogWindows(p);
    }
    return found;
}

int DrvSawWindowClass(DrvProcess* p, const char* className) {
    if (DrvIsRunning(p)) NoteWindows(p);
    for (int i = 0; i < g_seenCount; ++i)
        if (g_seen[i].pid == p->pid && !strcmp(g_seen[i].className, className)) return 1;
    return 0;
}

const char* DrvArtifactDir(void) { return g_artifacts; }

int main(int argc, char** argv) {
    DrvScenarioFn scenario = NULL;
    for (int i = 0; argc == 4 && i < g_scenarioCount; ++i)
        if (!strcmp(g_scenarios[i].first, argv[1])) scenario = g_scenarios[i].second;
    static char installer[MAX_PATH], log[MAX_PATH + 16];
    if (!scenario || !HostPath(argv[2], installer, sizeof installer) ||
        !HostPath(argv[3], g_artifacts, sizeof g_artifacts)) {
        printf("usage: kestrova_e2e.exe SCENARIO INSTALLER ARTIFACTS; the scenarios:\n");
        for (int i = 0; i < g_scenarioCount; ++i) printf("  %s\n", g_scenarios[i].first);
        return 2;
    }
    CreateDirectoryA(g_artifacts, NULL);
    snprintf(log, sizeof log, "%s\\e2e.log", g_artifacts);
    OpenLog(log);
    DrvContext ctx = {installer, g_artifacts};
    Log("scenario %s: installer %s, wait bounds times %lu", argv[1], installer, DrvBound(1));
    scenario(&ctx);
    for (int i = 0; i < g_processCount; ++i) {
        if (!CHECK(!DrvIsRunning(&g_processes[i]))) {
            DrvLogWindows(&g_processes[i]);
            TerminateProcess(g_processes[i].process, 255);
        }
    }
    return Summary(argv[1]);
}

#include "check.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

int g_checks, g_failures;
FILE* g_log;
DWORD g_start;

int Held(const char* file, int line, int ok) {
    ++g_checks;
    if (ok) return 1;
    ++g_failures;
    const char* name = strrchr(file, '/');
    Log("FAILED %s:%d", name ? name + 1 : file, line);
    return 0;
}

}  // namespace

int CheckTrue(const char* file, int line, int ok, const char* expr) {
    if (Held(file, line, ok)) return 1;
    Log("  CHECK(%s)", expr);
    return 0;
}

int CheckEqStr(const char* file, int line, const char* expr, const char* got, const char* want) {
    if (Held(file, line, got && want && strcmp(got, want) == 0)) return 1;
    Log("  %s is \"%s\",\n  expected \"%s\"", expr, got ? got : "(null)", want ? want : "(null)");
    return 0;
}

int CheckEqInt(const char* file, int line, const char* expr, long long got, long long want) {
    if (Held(file, line, got == want)) return 1;
    Log("  %s is %lld (0x%llX), expected %lld", expr, got, (unsigned long long)got, want);
    return 0;
}

void Log(const char* format, ...) {
    if (!g_start) g_start = GetTickCount();
    char line[4096];
    int n = snprintf(line, sizeof line, "[%6lu] ", GetTickCount() - g_start);
    va_list args;
    va_start(args, format);
    vsnprintf(line + n, sizeof line - n, format, args);
    va_end(args);
    printf("%s\n", line);
    fflush(stdout);
    if (g_log) fprintf(g_log, "%s\n", line);
    if (g_log) fflush(g_log);
}

int OpenLog(const char* path) {
    g_log = fopen(path, "w");
    return g_log != NULL;
}

int Summary(const char* name) {
    Log("%s: %s (%d checks, %d failed)", name, g_failures ? "FAILED" : "passed", g_checks,
        g_failures);
    return g_failures ? 1 : 0;
}

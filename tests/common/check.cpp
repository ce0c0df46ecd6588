#include "check.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

int g_checks;
int g_failures;
int g_endedEarly;
FILE* g_log;
DWORD g_start;

int Fail(const char* file, int line) {
    ++g_failures;
    const char* base = file;
    for (const char* c = file; *c; ++c)
        if (*c == '/' || *c == '\\') base = c + 1;
    Log("FAILED %s:%d", base, line);
    return 0;
}

}  // namespace

int CheckTrue(const char* file, int line, int ok, const char* expr) {
    ++g_checks;
    if (ok) return 1;
    Fail(file, line);
    Log("  CHECK(%s)", expr);
    return 0;
}

int CheckEqStr(const char* file, int line, const char* expr, const char* got, const char* want) {
    ++g_checks;
    if (got && want && strcmp(got, want) == 0) return 1;
    Fail(file, line);
    static char quotedGot[2048], quotedWant[2048];
    Quote(got, quotedGot, sizeof quotedGot);
    Quote(want, quotedWant, sizeof quotedWant);
    Log("  %s is %s,\n  expected %s", expr, quotedGot, quotedWant);
    return 0;
}

int CheckEqInt(const char* file, int line, const char* expr, long long got, long long want) {
    ++g_checks;
    if (got == want) return 1;
    Fail(file, line);
    Log("  %s is %lld (0x%llX), expected %lld", expr, got, (unsigned long long)got, want);
    return 0;
}

void NoteEndedEarly(void) {
    g_endedEarly = 1;
    Log("ended early");
}

void Log(const char* format, ...) {
    if (!g_start) g_start = GetTickCount();
    char line[4096];
    int n = snprintf(line, sizeof line, "[%6lu] ", (unsigned long)(GetTickCount() - g_start));
    va_list args;
    va_start(args, format);
    vsnprintf(line + n, sizeof line - n, format, args);
    va_end(args);
    printf("%s\n", line);
    fflush(stdout);
    if (g_log) {
        fprintf(g_log, "%s\n", line);
        fflush(g_log);
    }
}

int OpenLog(const char* path) {
    g_log = fopen(path, "w");
    return g_log != NULL;
}

void Quote(const char* text, char* out, int size) {
    static const char kSpecial[] = "\n\r\t\"\\";
    static const char kEscaped[] = "nrt\"\\";
    if (!text) text = "(null)";
    int n = 0;
    out[n++] = '"';
    for (const unsigned char* c = (const unsigned char*)text; *c; ++c) {
        char piece[8];
        const char* special = strchr(kSpecial, *c);
        if (special)
            snprintf(piece, sizeof piece, "\\%c", kEscaped[special - kSpecial]);
        else if (*c < 0x20 || *c >= 0x7F)
            snprintf(piece, sizeof piece, "\\x%02X", *c);
        else
            snprintf(piece, sizeof piece, "%c", *c);
        int len = (int)strlen(piece);
        if (n + len + 5 > size) {  // room for the piece, "...", the quote and the end
            strcpy(out + n, "...");
            return;
        }
        memcpy(out + n, piece, len);
        n += len;
    }
    out[n++] = '"';
    out[n] = '\0';
}

int Summary(const char* name) {
    int passed = g_failures == 0 && !g_endedEarly;
    Log("%s: %s (%d checks, %d failed)", name, passed ? "passed" : "FAILED", g_checks, g_failures);
    if (g_log) fclose(g_log);
    g_log = NULL;
    return passed ? 0 : 1;
}

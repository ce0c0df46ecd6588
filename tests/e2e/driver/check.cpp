#include "check.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "driver.h"

namespace {

struct ScenarioEntry {
    const char* name;
    DrvScenarioFn fn;
};

const int kMaxScenarios = 128;
ScenarioEntry g_scenarios[kMaxScenarios];
int g_scenarioCount;
int g_scenarioOverflow;

int g_checksRun;
int g_checksFailed;
int g_endedEarly;

FILE* g_log;
DWORD g_startTick;

const char* BaseName(const char* path) {
    const char* base = path;
    for (const char* c = path; *c; ++c) {
        if (*c == '/' || *c == '\\') base = c + 1;
    }
    return base;
}

int Fail(const char* file, int line) {
    ++g_checksFailed;
    DrvLog("FAILED %s:%d", BaseName(file), line);
    return 0;
}

}  // namespace

int DrvRegisterScenario(const char* name, DrvScenarioFn fn) {
    if (g_scenarioCount >= kMaxScenarios) {
        g_scenarioOverflow = 1;
        return 0;
    }
    g_scenarios[g_scenarioCount].name = name;
    g_scenarios[g_scenarioCount].fn = fn;
    ++g_scenarioCount;
    return 1;
}

void DrvQuote(const char* text, char* out, int size) {
    if (size < 8) {
        if (size > 0) out[0] = 0;
        return;
    }
    if (!text) {
        snprintf(out, size, "(null)");
        return;
    }
    int n = 0;
    out[n++] = '"';
    for (const unsigned char* c = (const unsigned char*)text; *c; ++c) {
        char piece[8];
        switch (*c) {
            case '\n':
                strcpy(piece, "\\n");
                break;
            case '\r':
                strcpy(piece, "\\r");
                break;
            case '\t':
                strcpy(piece, "\\t");
                break;
            case '"':
                strcpy(piece, "\\\"");
                break;
            case '\\':
                strcpy(piece, "\\\\");
                break;
            default:
                if (*c < 0x20 || *c >= 0x7F) {
                    snprintf(piece, sizeof piece, "\\x%02X", *c);
                } else {
                    piece[0] = (char)*c;
                    piece[1] = 0;
                }
        }
        int len = (int)strlen(piece);
        // Room for this piece, the closing quote and the terminator, or for
        // the marker that says the rest was left out.
        if (n + len + 2 > size - 4) {
            if (size > n + 4)
                strcpy(out + n, "...");
            else
                out[size - 1] = 0;
            return;
        }
        memcpy(out + n, piece, len);
        n += len;
    }
    out[n++] = '"';
    out[n] = 0;
}

int DrvCheck(const char* file, int line, int ok, const char* expr) {
    ++g_checksRun;
    if (ok) return 1;
    Fail(file, line);
    DrvLog("  CHECK(%s)", expr);
    return 0;
}

int DrvCheckEqStr(const char* file, int line, const char* exprA, const char* exprB, const char* a,
                  const char* b) {
    ++g_checksRun;
    if (a && b && strcmp(a, b) == 0) return 1;
    Fail(file, line);
    static char qa[2048];
    static char qb[2048];
    DrvQuote(a, qa, sizeof qa);
    DrvQuote(b, qb, sizeof qb);
    DrvLog("  CHECK_EQ_STR(%s, %s)", exprA, exprB);
    DrvLog("    %s", qa);
    DrvLog("    %s", qb);
    return 0;
}

int DrvCheckEqInt(const char* file, int line, const char* exprA, const char* exprB, long long a,
                  long long b) {
    ++g_checksRun;
    if (a == b) return 1;
    Fail(file, line);
    DrvLog("  CHECK_EQ_INT(%s, %s): %lld (0x%llX) != %lld (0x%llX)", exprA, exprB, a,
           (unsigned long long)a, b, (unsigned long long)b);
    return 0;
}

void DrvNoteEndedEarly(void) {
    g_endedEarly = 1;
    DrvLog("scenario ended early");
}

void DrvLog(const char* format, ...) {
    if (!g_startTick) g_startTick = GetTickCount();
    char line[4096];
    int n = snprintf(line, sizeof line, "[%6lu] ", (unsigned long)(GetTickCount() - g_startTick));
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

int DrvOpenLog(const char* folder) {
    char path[MAX_PATH];
    int n = snprintf(path, sizeof path, "%s\\e2e.log", folder);
    if (n < 0 || n >= (int)sizeof path) return 0;
    g_log = fopen(path, "w");
    return g_log != NULL;
}

void DrvCloseLog(void) {
    if (g_log) fclose(g_log);
    g_log = NULL;
}

namespace {

void Usage(void) {
    printf(
        "usage: kestrova_e2e.exe SCENARIO INSTALLER ARTIFACT_DIR\n"
        "       kestrova_e2e.exe --list\n");
}

const ScenarioEntry* FindScenario(const char* name) {
    for (int i = 0; i < g_scenarioCount; ++i) {
        if (strcmp(g_scenarios[i].name, name) == 0) return &g_scenarios[i];
    }
    return NULL;
}

void LogMessageBoxes(void) {
    int count = DrvMessageBoxCount();
    DrvLog("message boxes seen: %d", count);
    for (int i = 0; i < count; ++i) {
        const DrvMessageBox* box = DrvMessageBoxAt(i);
        static char caption[512];
        static char text[2048];
        DrvQuote(box->caption, caption, sizeof caption);
        DrvQuote(box->text, text, sizeof text);
        DrvLog("  %d: %s %s %s, answered %d%s", i + 1, caption, text, DrvIconName(box->icon),
               box->answer, box->closed || !IsWindow(box->window) ? "" : ", still open");
    }
}

}  // namespace

int DrvRunMain(int argc, char** argv) {
    if (g_scenarioOverflow) {
        printf("more than %d scenarios: raise kMaxScenarios\n", kMaxScenarios);
        return 2;
    }
    if (argc == 2 && strcmp(argv[1], "--list") == 0) {
        for (int i = 0; i < g_scenarioCount; ++i) printf("%s\n", g_scenarios[i].name);
        return 0;
    }
    if (argc != 4) {
        Usage();
        return 2;
    }
    const ScenarioEntry* scenario = FindScenario(argv[1]);
    if (!scenario) {
        printf("no scenario named %s (--list shows them)\n", argv[1]);
        return 2;
    }
    static char installer[MAX_PATH];
    static char artifacts[MAX_PATH];
    if (!DrvHostPath(argv[2], installer, sizeof installer) ||
        !DrvHostPath(argv[3], artifacts, sizeof artifacts)) {
        printf("path too long\n");
        return 2;
    }
    CreateDirectoryA(artifacts, NULL);
    if (!DrvSetArtifactDir(artifacts) || !DrvOpenLog(artifacts)) {
        printf("cannot write into the artifact folder %s\n", artifacts);
        return 2;
    }

    DrvContext ctx = {scenario->name, installer, artifacts};
    DrvLog("scenario %s: installer %s, artifacts %s", ctx.scenario, ctx.installer, ctx.artifacts);
    if (DrvBound(1) != 1) DrvLog("wait bounds scaled by %lu", DrvBound(1));
    scenario->fn(&ctx);

    int leftovers = DrvKillLeftovers();
    if (leftovers) {
        ++g_checksFailed;
        DrvLog("FAILED: %d process(es) still running at the end were ended", leftovers);
    }
    LogMessageBoxes();
    int passed = g_checksFailed == 0 && !g_endedEarly;
    DrvLog("scenario %s: %s (%d checks, %d failed)", ctx.scenario, passed ? "passed" : "FAILED",
           g_checksRun, g_checksFailed);
    DrvCloseLog();
    return passed ? 0 : 1;
}

// The checks and the scenario table of the end-to-end runner.
//
// A scenario is one function, registered by name:
//
//   SCENARIO(welcome_cancel) {
//     DrvProcess* p = DrvStartProgram(ctx->installer, NULL, NULL);
//     REQUIRE(p);
//     ...
//   }
//
// and run as `kestrova_e2e.exe welcome_cancel INSTALLER ARTIFACT_DIR`.  A
// failed check prints its file, line and values and the scenario goes on;
// REQUIRE ends the scenario when the rest cannot make sense.  The runner's
// exit code is 0 only when the scenario ran to its end with no failed check
// and left no process running.
#ifndef KESTROVA_E2E_CHECK_H
#define KESTROVA_E2E_CHECK_H

struct DrvContext {
    const char* scenario;   // name of the scenario
    const char* installer;  // Windows path of the program under test
    const char* artifacts;  // Windows path of the artifact folder
};

typedef void (*DrvScenarioFn)(const DrvContext* ctx);

int DrvRegisterScenario(const char* name, DrvScenarioFn fn);

#define SCENARIO(name)                                            \
    static void Scenario_##name(const DrvContext* ctx);           \
    [[maybe_unused]] static const int scenarioRegistered_##name = \
        DrvRegisterScenario(#name, Scenario_##name);              \
    static void Scenario_##name([[maybe_unused]] const DrvContext* ctx)

// Each returns 1 when the check holds, so that a scenario can branch on it.
#define CHECK(cond) DrvCheck(__FILE__, __LINE__, (cond) ? 1 : 0, #cond)
#define CHECK_EQ_STR(a, b) DrvCheckEqStr(__FILE__, __LINE__, #a, #b, (a), (b))
#define CHECK_EQ_INT(a, b) DrvCheckEqInt(__FILE__, __LINE__, #a, #b, (long long)(a), (long long)(b))
#define REQUIRE(cond)            \
    do {                         \
        if (!CHECK(cond)) {      \
            DrvNoteEndedEarly(); \
            return;              \
        }                        \
    } while (0)

int DrvCheck(const char* file, int line, int ok, const char* expr);
int DrvCheckEqStr(const char* file, int line, const char* exprA, const char* exprB, const char* a,
                  const char* b);
int DrvCheckEqInt(const char* file, int line, const char* exprA, const char* exprB, long long a,
                  long long b);
void DrvNoteEndedEarly(void);


// printf-style line to the console and to the run's log (e2e.log in the
// artifact folder), prefixed with the milliseconds since the start.
void DrvLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Opens the log in the artifact folder.
int DrvOpenLog(const char* folder);
void DrvCloseLog(void);

// Writes `text` with its control characters escaped (\n, \r, \t, \xNN)
// into `out`; a text that does not fit ends with "...".
void DrvQuote(const char* text, char* out, int size);

// The runner: `kestrova_e2e.exe SCENARIO INSTALLER ARTIFACT_DIR`, or
// `--list`.
int DrvRunMain(int argc, char** argv);

#endif

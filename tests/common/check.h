// Checks for the Windows test programs and the end-to-end scenarios: a
// failed check logs its file, line and values and the run goes on;
// REQUIRE leaves the calling function when the rest cannot make sense.
#pragma once

#define CHECK(cond) CheckTrue(__FILE__, __LINE__, (cond) ? 1 : 0, #cond)
#define CHECK_EQ_STR(a, b) CheckEqStr(__FILE__, __LINE__, #a, (a), (b))
#define CHECK_EQ_INT(a, b) CheckEqInt(__FILE__, __LINE__, #a, (long long)(a), (long long)(b))
#define REQUIRE(cond)          \
    do {                       \
        if (!CHECK(cond)) {    \
            Log("ended early"); \
            return;            \
        }                      \
    } while (0)

// Each returns whether the check held.
int CheckTrue(const char* file, int line, int ok, const char* expr);
int CheckEqStr(const char* file, int line, const char* expr, const char* got, const char* want);
int CheckEqInt(const char* file, int line, const char* expr, long long got, long long want);

// A printf-style line to the console and, once OpenLog has run, to the
// log file, after the milliseconds since the first line.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
int OpenLog(const char* path);

// Logs the tally; the exit code, 0 when every check held.
int Summary(const char* name);

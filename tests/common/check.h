// Checks for the Windows test programs and the end-to-end scenarios.  A
// failed check logs its file, line and values and the run goes on;
// REQUIRE leaves the calling function when the rest cannot make sense.
#pragma once

#include <windows.h>

#define CHECK(cond) CheckTrue(__FILE__, __LINE__, (cond) ? 1 : 0, #cond)
#define CHECK_EQ_STR(a, b) CheckEqStr(__FILE__, __LINE__, #a, (a), (b))
#define CHECK_EQ_INT(a, b) CheckEqInt(__FILE__, __LINE__, #a, (long long)(a), (long long)(b))
#define REQUIRE(cond)          \
    do {                       \
        if (!CHECK(cond)) {    \
            NoteEndedEarly();  \
            return;            \
        }                      \
    } while (0)

// Each returns 1 when the check holds, so that a caller can branch on it.
int CheckTrue(const char* file, int line, int ok, const char* expr);
int CheckEqStr(const char* file, int line, const char* expr, const char* got, const char* want);
int CheckEqInt(const char* file, int line, const char* expr, long long got, long long want);
void NoteEndedEarly(void);

// A printf-style line to the console and, once OpenLog has run, to the
// log file, prefixed with the milliseconds since the first line.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
int OpenLog(const char* path);

// `text` with control characters and quotes escaped, in quotes; a text
// that does not fit ends with "...".
void Quote(const char* text, char* out, int size);

// Logs the tally; 0 when every check held and nothing ended early.
int Summary(const char* name);

// A few helpers in the manner of Wine's conformance tests: ok() reports a
// failed check with its line, Summary() turns the count into the exit code.
#pragma once

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

inline int& WineTestFailures() {
    static int failures;
    return failures;
}
inline int& WineTestChecks() {
    static int checks;
    return checks;
}

#define ok(cond, ...) WineTestOk(__FILE__, __LINE__, (cond) ? 1 : 0, __VA_ARGS__)

inline int WineTestOk(const char* file, int line, int passed, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
inline int WineTestOk(const char* file, int line, int passed, const char* format, ...) {
    ++WineTestChecks();
    if (passed) return 1;
    ++WineTestFailures();
    fprintf(stderr, "%s:%d: Test failed: ", file, line);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    return 0;
}

inline int Summary(const char* name) {
    printf("%s: %d tests executed, %d failures\n", name, WineTestChecks(), WineTestFailures());
    return WineTestFailures() ? 1 : 0;
}

inline int Usage(const char* arguments) {
    fprintf(stderr, "usage: test %s\n", arguments);
    return 2;
}

// "/a/b" as Wine's Z: drive sees it.  0 when it would not fit.
inline int HostPathToWindows(const char* in, char* out, int size) {
    int n = 0;
    if (in[0] == '/') {
        if (size < 3) return 0;
        out[n++] = 'Z';
        out[n++] = ':';
    }
    for (const char* p = in; *p; ++p) {
        if (n + 1 >= size) return 0;
        out[n++] = *p == '/' ? '\\' : *p;
    }
    out[n] = '\0';
    return 1;
}

// The few functions that the compiler may call on its own even when built
// freestanding (to clear or copy a structure), for programs that link no C
// runtime.  Byte loops: the blocks are small, and the build's loop-pattern
// flag keeps the compiler from turning these loops back into calls of
// themselves.  The linker drops those a program does not use.
#include <stddef.h>

extern "C" {

void* memset(void* dest, int value, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    for (size_t i = 0; i < count; ++i) d[i] = static_cast<unsigned char>(value);
    return dest;
}

void* memcpy(void* dest, const void* source, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < count; ++i) d[i] = s[i];
    return dest;
}

void* memmove(void* dest, const void* source, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (d < s) {
        for (size_t i = 0; i < count; ++i) d[i] = s[i];
    } else {
        for (size_t i = count; i > 0; --i) d[i - 1] = s[i - 1];
    }
    return dest;
}

int memcmp(const void* a, const void* b, size_t count) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < count; ++i)
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return 0;
}

}  // extern "C"

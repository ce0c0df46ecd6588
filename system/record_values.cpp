#include "system/record_values.h"

int ReadTextValue(HKEY key, const char* name, char* text, DWORD size) {
    DWORD type = 0;
    DWORD length = size - 1;  // room for a terminator the value lacks
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(text), &length) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        text[0] = '\0';
        return 0;
    }
    text[length] = '\0';
    return 1;
}

DWORD ReadNumberValue(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD number = 0;
    DWORD length = sizeof number;
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(&number), &length) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || length != sizeof number)
        return 0;
    return number;
}

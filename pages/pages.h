// Dialog procedures of the wizard's pages and their template ids.
#pragma once

#include <windows.h>

enum PageTemplate {
    WelcomeTemplate = 1000,
    AgreementTemplate = 1002,
    LocationTemplate = 1003,
    InstallingTemplate = 1004,
    GroupTemplate = 1005,
};

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InstallingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

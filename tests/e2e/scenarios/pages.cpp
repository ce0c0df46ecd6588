// The pages' ways out before anything is installed, a second run refused
// meanwhile, the smallest screen.  The first run is started with its own
// path unquoted, blank and all, as a deployment tool may: the wizard, not
// a bad command line.
#include "installer_steps.h"

SCENARIO(pages_cancel) {
    const char note[] =
        "This program will install Quorvik to your computer. It is strongly recommended that you "
        "exit all other applications and restart your computer before you continue.";
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r;
    const char spaced[] = "C:\\My Apps\\Kestrova.exe";
    CHECK(CreateDirectoryA("C:\\My Apps", NULL) && CopyFileA(ctx->installer, spaced, TRUE));
    DrvProcess* first = DrvStartLine(spaced, spaced);
    HWND welcome = DrvWaitWindow(first, WelcomeCaption, "#32770");
    REQUIRE(welcome);
    EXPECT_TEXT(DrvItem(welcome, NoteText), note);
    CHECK(GetWindowRect(welcome, &r));
    CHECK_EQ_INT(r.left, (sw - (r.right - r.left)) / 2);  // centred, not shifted
    CHECK_EQ_INT(r.top, (sh - (r.bottom - r.top)) / 2);

    // While the first shows its welcome page, a second run says so and
    // ends before any page: its box is all it shows.
    DrvProcess* second = DrvStart(ctx->installer, NULL);
    REQUIRE(DrvWaitMessageBox(second));
    CHECK_EQ_INT(DrvListWindows(second).size(), 1);
    EXPECT_MESSAGE_BOX(second, "Kestrova", "Kestrova is already running.", MB_ICONWARNING, IDOK);
    ExpectExit(second, 1618);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S"), 1618);
    ExpectExit(StartUninstaller(ctx, "/S"), 1618);

    // The welcome page runs inside the backdrop's creation: no backdrop is
    // ever shown, nor after a cancel.
    DrvClick(welcome, IDCANCEL);
    ExpectExit(first, 0);
    CHECK(!DrvSawWindowClass(first, "Kestrova") && !DrvSawWindowClass(second, "Kestrova"));
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 1);

    DrvProcess* p = DrvStart(ctx->installer, NULL);
    HWND agreement = WalkTo(p, AgreementCaption);
    REQUIRE(agreement);
    ExpectBackdropAndPage(p, agreement);
    DrvScreenshot("agreement-640x480");
    DrvPressKey(agreement, VK_ESCAPE);
    ExpectAbortAndExit(p);
}

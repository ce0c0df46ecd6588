// The welcome and agreement pages, and the backdrop they lead to.
#include <string.h>

#include "walkthrough.h"

namespace {

const COLORREF BandColour = RGB(32, 8, 104);
const char WelcomeNote[] =
    "This program will install Quorvik to your computer. It is strongly recommended that you "
    "exit all other applications and restart your computer before you continue.";

// The welcome page runs inside the backdrop's creation, so nothing of the
// backdrop is ever shown while it is open, nor after a cancel.
void CheckWelcomeThenCancel(const DrvContext* ctx, int closeInsteadOfCancel) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    char text[512];
    CHECK(DrvGetItemText(welcome, 600, text, sizeof text));
    CHECK_EQ_STR(text, WelcomeNote);
    RECT r;
    int sw, sh;
    DrvScreenSize(&sw, &sh);
    CHECK(DrvWindowRect(welcome, &r));
    CHECK_EQ_INT(r.left, (sw - (r.right - r.left)) / 2);  // centred, not shifted
    CHECK_EQ_INT(r.top, (sh - (r.bottom - r.top)) / 2);
    if (!closeInsteadOfCancel) DrvScreenshot("1-welcome");
    if (closeInsteadOfCancel)
        PostMessageA(welcome, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        DrvClick(welcome, IDCANCEL);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCount(), 0);
    CHECK(!DrvSawWindowClass(p, "Kestrova"));
}

// Reads the agreement as stored in the installer, to compare with what the
// page shows: exactly the resource, nothing after it.
int StoredAgreement(const DrvContext* ctx, char* out, DWORD size) {
    HMODULE m = LoadLibraryExA(ctx->installer, NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = m ? FindResourceA(m, "AGREEMENT", MAKEINTRESOURCEA(10)) : NULL;
    DWORD n = r ? SizeofResource(m, r) : 0;
    const void* data = r ? LockResource(LoadResource(m, r)) : NULL;
    int ok = data && n > 0 && n < size;
    if (ok) {
        memcpy(out, data, n);
        out[n] = '\0';
    }
    if (m) FreeLibrary(m);
    return ok;
}

}  // namespace

SCENARIO(welcome_cancel) { CheckWelcomeThenCancel(ctx, 0); }

SCENARIO(welcome_close) { CheckWelcomeThenCancel(ctx, 1); }

// The backdrop, the agreement page on it, and I Disagree.
// Disagreeing with the button, or with Escape, which the dialog turns into
// the same command.
static void CheckAgreementThenDisagree(const DrvContext* ctx, int byEscape) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND agreement = WalkToAgreement(p);
    REQUIRE(agreement);

    // The backdrop covers the screen, with its band down the left edge.
    int sw, sh;
    DrvScreenSize(&sw, &sh);
    HWND backdrop = DrvWaitWindow(p, "Kestrova", "Kestrova", DRV_WAIT);
    REQUIRE(backdrop);
    RECT r;
    CHECK(DrvWindowRect(backdrop, &r));
    CHECK(r.left == 0 && r.top == 0 && r.right == sw && r.bottom == sh);
    COLORREF seen;
    // Between the logo and the stage list, on any screen size.
    CHECK(DrvWaitPixel(75, 60, BandColour, DRV_WAIT, &seen));

    // The page sits in the middle of what is right of the band.
    CHECK(DrvWindowRect(agreement, &r));
    CHECK_EQ_INT(r.left, (sw - (r.right - r.left) + 150) / 2);
    CHECK_EQ_INT(r.top, (sh - (r.bottom - r.top)) / 2);

    static char shown[40000], stored[40000];
    REQUIRE(StoredAgreement(ctx, stored, sizeof stored));
    CHECK(DrvGetItemText(agreement, 200, shown, sizeof shown));
    CHECK_EQ_STR(shown, stored);
    CHECK(strstr(stored, "\r\n") != NULL);
    DrvScreenshot("2-agreement");
    // Tab moves between the two buttons only; the text is read by scrolling.
    CHECK(!(GetWindowLongA(DrvControl(agreement, 200), GWL_STYLE) & WS_TABSTOP));

    if (byEscape)
        DrvPressKey(agreement, VK_ESCAPE);
    else
        DrvClick(agreement, IDCANCEL);
    ExpectAbortAndExit(p);
}

SCENARIO(agreement_disagree) { CheckAgreementThenDisagree(ctx, 0); }

// The smallest screen the backdrop's arithmetic names.
SCENARIO(agreement_disagree_small) { CheckAgreementThenDisagree(ctx, 1); }

// Without lz32 from the system folder the installer ends before any page,
// with a clear message and a non-zero exit code.  The harness disables the
// library for this scenario.
SCENARIO(missing_system_library) {
    DrvProcess* p = DrvStartProgram(ctx->installer, NULL, NULL);
    REQUIRE(p);
    EXPECT_MESSAGE_BOX(p, "Kestrova", "A part of Windows that Kestrova needs is missing:\nlz32.dll",
                       MB_ICONERROR, IDOK);
    ExpectExit(p, 3);
    CHECK(!DrvSawWindowClass(p, "Kestrova"));
    CHECK_EQ_INT(DrvMessageBoxCount(), 1);
}

// A second run while the first shows its welcome page says so and ends
// before any page of its own; the first carries on and cancels as ever.
SCENARIO(second_instance_refused) {
    HWND welcome;
    DrvProcess* first = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    DrvProcess* second = DrvStartProgram(ctx->installer, NULL, NULL);
    REQUIRE(second);
    DrvMessageBox* box = DrvWaitMessageBox(second, DRV_WAIT);
    REQUIRE(box);
    // While its box is up, the box is all that the second run shows.
    HWND shown[4];
    CHECK_EQ_INT(DrvListWindows(second, shown, 4), 1);
    CHECK(shown[0] == box->window);
    DrvScreenshot("1-second-run");
    CHECK_EQ_STR(box->caption, "Kestrova");
    CHECK_EQ_STR(box->text, "Kestrova is already running.");
    CHECK_EQ_INT(box->icon, MB_ICONWARNING);
    CHECK(DrvAnswerMessageBox(box, IDOK));
    ExpectExit(second, 4);
    CHECK(!DrvSawWindowClass(second, "Kestrova"));

    CHECK(DrvIsVisible(welcome));
    DrvClick(welcome, IDCANCEL);
    ExpectExit(first, 0);
    CHECK_EQ_INT(DrvMessageBoxCount(), 1);
}

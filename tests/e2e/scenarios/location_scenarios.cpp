// The program location page: the default folder, the refusals, what is
// accepted as typed, Reset Folder, Enter and Escape.
#include <string.h>

#include "walkthrough.h"

namespace {

const int PathEdit = 300;
const int ResetButton = 302;

const char LocationNote[] =
    "The program files for Quorvik will be installed to the following folder:";

// Types `text`, presses Continue (or Enter in the edit box) and expects the
// refusal `reason`; the page stays with the text untouched and the focus in
// the edit box.
void ExpectRefusal(DrvProcess* p, HWND page, const char* text, const char* reason, int useEnter) {
    DrvSetItemText(page, PathEdit, text);
    if (useEnter)
        DrvPressKey(page, VK_RETURN);
    else
        DrvClick(page, IDOK);
    char expected[256];
    strcpy(expected, "Path invalid!\n\n");
    strcat(expected, reason);
    EXPECT_MESSAGE_BOX(p, "Kestrova", expected, MB_ICONWARNING, IDOK);
    DrvPause(200);
    CHECK(DrvIsVisible(page));
    char now[300];
    CHECK(DrvGetItemText(page, PathEdit, now, sizeof now));
    CHECK_EQ_STR(now, text);
    CHECK(DrvFocus(page) == DrvControl(page, PathEdit));
}

}  // namespace

SCENARIO(location_defaults_and_refusals) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToLocation(p);
    REQUIRE(page);
    char text[300];
    CHECK(DrvGetItemText(page, 600, text, sizeof text));
    CHECK_EQ_STR(text, LocationNote);
    CHECK(DrvGetItemText(page, PathEdit, text, sizeof text));
    CHECK_EQ_STR(text, DefaultFolder);
    int sw, sh;
    RECT r;
    DrvScreenSize(&sw, &sh);
    CHECK(DrvWindowRect(page, &r));
    CHECK_EQ_INT(r.left, (sw - (r.right - r.left) + 150) / 2);
    DrvScreenshot("3-location");

    ExpectRefusal(p, page, "", "Path may not be empty!", 0);
    ExpectRefusal(p, page, "C", "Missing : or \\ in drive.", 0);
    ExpectRefusal(p, page, "C:", "Missing : or \\ in drive.", 1);
    ExpectRefusal(p, page, "C:\\", "Path may not be a root drive...", 0);
    ExpectRefusal(p, page, "C:\\", "Path may not be a root drive...", 1);

    // ProgramPath is still the default, so Reset Folder leaves the typed
    // text alone.
    DrvSetItemText(page, PathEdit, "D:\\Elsewhere");
    DrvClick(page, ResetButton);
    DrvPause(300);
    CHECK(DrvGetItemText(page, PathEdit, text, sizeof text));
    CHECK_EQ_STR(text, "D:\\Elsewhere");

    // Escape is Cancel: the abort message once, then the end.
    DrvPressKey(page, VK_ESCAPE);
    ExpectAbortAndExit(p);
    CHECK_EQ_INT(DrvMessageBoxCount(), 6);
}

// A path whose drive does not exist is accepted as typed; the copy then
// cannot create the destination and says so.
SCENARIO(location_accepts_any_drive) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToLocation(p);
    REQUIRE(page);
    DrvSetItemText(page, PathEdit, "1:\\x");
    DrvPressKey(page, VK_RETURN);
    HWND installing = DrvWaitWindow(p, InstallingCaption, "#32770", DRV_WAIT);
    CHECK(installing != NULL);
    CHECK(!DrvIsVisible(page));
    EXPECT_MESSAGE_BOX(p, "Kestrova",
                       "Unable to open destination file!\nInstallation will now be aborted.",
                       MB_ICONERROR, IDOK);
    ExpectAbortAndExit(p);
}

// A folder typed with a trailing backslash is kept as typed, and the
// installation goes there.
SCENARIO(location_trailing_backslash) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND installing = WalkToInstalling(p, "C:\\Tools\\");
    REQUIRE(installing);
    FinishAfterInstalling(p, installing);
    CheckInstalledFiles(ctx, "C:\\Tools\\");
}

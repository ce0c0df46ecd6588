// The installer with its default answers, a screenshot of every page: what
// scripts/run.sh shows a newcomer when there is no display to watch.
#include "walkthrough.h"

namespace {

HWND Shoot(DrvProcess* p, const char* caption, const char* shot) {
    HWND page = DrvWaitWindow(p, caption, "#32770", DRV_WAIT);
    if (page) {
        DrvPause(500);  // let the page and the backdrop finish painting
        DrvScreenshot(shot);
    }
    return page;
}

void ShootMessageBox(DrvProcess* p, const char* shot, int answer) {
    DrvMessageBox* box = DrvWaitMessageBox(p, 60000);
    if (!CHECK(box != NULL)) return;
    DrvPause(300);
    DrvScreenshot(shot);
    DrvAnswerMessageBox(box, answer);
}

}  // namespace

SCENARIO(tour) {
    DrvProcess* p = DrvStartProgram(ctx->installer, NULL, NULL);
    REQUIRE(p);
    HWND page = Shoot(p, WelcomeCaption, "1-welcome");
    REQUIRE(page);
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, AgreementCaption, "2-agreement"));
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, LocationCaption, "3-location"));
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, InstallingCaption, "4-installing"));
    CHECK(DrvWaitWindowGone(page, 60000));
    REQUIRE(page = Shoot(p, GroupCaption, "5-group"));
    DrvClick(page, 2000);
    ShootMessageBox(p, "6-shortcuts", IDOK);
    ShootMessageBox(p, "7-installed", IDNO);
    ShootMessageBox(p, "8-finished", IDOK);
    DWORD code = 99;
    CHECK(DrvWaitExit(p, DRV_WAIT, &code));
    CHECK_EQ_INT(code, 0);
}

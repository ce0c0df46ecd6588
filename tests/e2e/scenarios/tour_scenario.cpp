// The installer with its default answers, a screenshot of every page: what
// scripts/run.sh shows a newcomer when there is no display to watch.
#include "walkthrough.h"

namespace {

// Each shot also samples the stage list, lit for the stage `bit`.
HWND Shoot(DrvProcess* p, const char* caption, const char* shot, unsigned int bit) {
    HWND page = DrvWaitWindow(p, caption, "#32770", DRV_WAIT);
    if (page) {
        DrvPause(500);  // let the page and the backdrop finish painting
        DrvScreenshot(shot);
        if (bit) ExpectStageLit(bit);  // the welcome page comes before the backdrop
    }
    return page;
}

void ShootMessageBox(DrvProcess* p, const char* shot, int answer, unsigned int bit) {
    DrvMessageBox* box = DrvWaitMessageBox(p, 60000);
    if (!CHECK(box != NULL)) return;
    DrvPause(300);
    DrvScreenshot(shot);
    ExpectStageLit(bit);
    DrvAnswerMessageBox(box, answer);
}

}  // namespace

SCENARIO(tour) {
    DrvProcess* p = DrvStartProgram(ctx->installer, NULL, NULL);
    REQUIRE(p);
    HWND page = Shoot(p, WelcomeCaption, "1-welcome", 0);
    REQUIRE(page);
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, AgreementCaption, "2-agreement", 1));
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, LocationCaption, "3-location", 2));
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, InstallingCaption, "4-installing", 4));
    CHECK(DrvWaitWindowGone(page, 60000));
    REQUIRE(page = Shoot(p, GroupCaption, "5-group", 8));
    DrvClick(page, 2000);
    ShootMessageBox(p, "6-shortcuts", IDOK, 16);
    ShootMessageBox(p, "7-installed", IDNO, 32);
    ShootMessageBox(p, "8-finished", IDOK, 64);
    ExpectExit(p, 0);
}

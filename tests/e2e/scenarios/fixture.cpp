// Scenarios against the fixture program: they prove the harness, each
// driver function at least once, on the kind of windows the installer
// shows.
#include "../fixture/fixture_ids.h"
#include "driver.h"

namespace {

const char kPageCaption[] = "Fixture Location";
const char kAborted[] = "Installation Aborted!\n\nNothing was installed.";

HWND StartFixture(const DrvContext* ctx, DrvProcess** p) {
  *p = DrvStartProgram(ctx->installer, NULL, NULL);
  if (!*p) return NULL;
  return DrvWaitWindow(*p, kPageCaption, "#32770", DRV_WAIT);
}

int Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.right <= outer.right && inner.bottom <= outer.bottom &&
         inner.left < inner.right && inner.top < inner.bottom;
}

}  // namespace

// Escape on the page: one warning, exit code 0.
SCENARIO(fixture_cancel) {
  DrvProcess* p = NULL;
  HWND page = StartFixture(ctx, &p);
  REQUIRE(page);

  // The page and the backdrop behind it, nothing else.
  HWND windows[8];
  CHECK_EQ_INT(DrvListWindows(p, windows, 8), 2);
  CHECK_EQ_INT(DrvCountWindows(p, "Kestrova"), 1);
  CHECK(DrvSawWindowClass(p, "Kestrova"));
  CHECK(!DrvSawWindowClass(p, "Button"));

  char text[300];
  CHECK(DrvGetItemText(page, IDC_FIXTURE_PATH, text, sizeof text));
  CHECK_EQ_STR(text, "C:\\Halvenor\\Fixture");
  CHECK(DrvGetItemText(page, IDC_FIXTURE_TEXT, text, sizeof text));
  CHECK_EQ_STR(text, "The fixture will be installed to the following folder:");
  // A text is refused, not cut, when the buffer is too small for it.
  char small[8] = "x";
  CHECK(!DrvGetItemText(page, IDC_FIXTURE_PATH, small, sizeof small));
  CHECK_EQ_STR(small, "");
  CHECK(DrvScreenshot("page"));

  CHECK(DrvPressKey(page, VK_ESCAPE));
  DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
  REQUIRE(box);
  CHECK(DrvScreenshot("abort_message"));
  CHECK_EQ_STR(box->caption, "Kestrova");
  CHECK_EQ_STR(box->text, kAborted);
  CHECK_EQ_STR(DrvIconName(box->icon), DrvIconName(MB_ICONWARNING));
  CHECK(DrvAnswerMessageBox(box, IDOK));

  DWORD code = 99;
  CHECK(DrvWaitExit(p, DRV_WAIT, &code));
  CHECK_EQ_INT(code, 0);
  CHECK_EQ_INT(DrvMessageBoxCount(), 1);
  CHECK_EQ_INT(DrvMessageBoxCountWithText(kAborted), 1);
}

// Continue: a refusal, a question answered No, then Yes; exit code 1.
SCENARIO(fixture_continue) {
  DrvProcess* p = NULL;
  HWND page = StartFixture(ctx, &p);
  REQUIRE(page);

  HWND ok = DrvControl(page, IDOK);
  CHECK(DrvIsVisible(ok));
  CHECK(DrvIsEnabled(ok));
  RECT pageRect;
  RECT editRect;
  CHECK(DrvWindowRect(page, &pageRect));
  CHECK(DrvItemRect(page, IDC_FIXTURE_PATH, &editRect));
  CHECK(Inside(editRect, pageRect));
  char name[64];
  CHECK(DrvGetClass(DrvControl(page, IDC_FIXTURE_PATH), name, sizeof name));
  CHECK_EQ_STR(name, "Edit");

  // An empty folder: refused, the page stays.
  CHECK(DrvSetItemText(page, IDC_FIXTURE_PATH, ""));
  CHECK(DrvPressKey(page, VK_RETURN));
  EXPECT_MESSAGE_BOX(p, "Kestrova", "Path may not be empty!", MB_ICONERROR, IDOK);
  CHECK(DrvIsVisible(page));
  CHECK(DrvWaitFocus(page, IDC_FIXTURE_PATH, DRV_WAIT));

  // No keeps the page and the typed text.
  CHECK(DrvSetItemText(page, IDC_FIXTURE_PATH, "C:\\Tools\\"));
  CHECK(DrvClick(page, IDOK));
  EXPECT_MESSAGE_BOX(p, "Kestrova", "Install the fixture to C:\\Tools\\?",
                     MB_ICONQUESTION, IDNO);
  DrvPause(200);
  CHECK(DrvIsVisible(page));
  char text[300];
  CHECK(DrvGetItemText(page, IDC_FIXTURE_PATH, text, sizeof text));
  CHECK_EQ_STR(text, "C:\\Tools\\");

  // Yes ends the run with code 1 after the information.
  CHECK(DrvPressKey(page, VK_RETURN));
  EXPECT_MESSAGE_BOX(p, "Kestrova", "Install the fixture to C:\\Tools\\?",
                     MB_ICONQUESTION, IDYES);
  DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
  REQUIRE(box);
  CHECK(DrvScreenshot("installed_message"));
  CHECK_EQ_STR(box->text, "The fixture was installed.");
  CHECK_EQ_INT(box->icon, MB_ICONINFORMATION);
  CHECK(DrvAnswerMessageBox(box, IDOK));
  CHECK(DrvWaitWindowGone(page, DRV_WAIT));
  DWORD code = 99;
  CHECK(DrvWaitExit(p, DRV_WAIT, &code));
  CHECK_EQ_INT(code, 1);
  CHECK_EQ_INT(DrvMessageBoxCount(), 4);
  CHECK_EQ_INT(DrvMessageBoxCountWithText(kAborted), 0);
}

// The backdrop's colour read from the screen, on the smallest screen; the
// colour comes from the scenario's environment inside Wine.
SCENARIO(fixture_pixels) {
  int width = 0;
  int height = 0;
  DrvScreenSize(&width, &height);
  CHECK_EQ_INT(width, 640);
  CHECK_EQ_INT(height, 480);
  char colour[16] = "";
  CHECK(GetEnvironmentVariableA("FIXTURE_BACKDROP", colour, sizeof colour) == 6);
  CHECK_EQ_STR(colour, "1E90FF");
  const COLORREF backdrop = RGB(0x1E, 0x90, 0xFF);

  DrvProcess* p = NULL;
  HWND page = StartFixture(ctx, &p);
  REQUIRE(page);
  HWND windows[8];
  int count = DrvListWindows(p, windows, 8);
  HWND full = NULL;
  for (int i = 0; i < count && i < 8; ++i) {
    char name[64];
    if (DrvGetClass(windows[i], name, sizeof name) && lstrcmpA(name, "Kestrova") == 0) {
      full = windows[i];
    }
  }
  REQUIRE(full);
  RECT r;
  CHECK(DrvWindowRect(full, &r));
  CHECK_EQ_INT(r.left, 0);
  CHECK_EQ_INT(r.top, 0);
  CHECK_EQ_INT(r.right, width);
  CHECK_EQ_INT(r.bottom, height);

  COLORREF seen = 0;
  CHECK(DrvWaitPixel(1, 1, backdrop, DRV_WAIT, &seen));
  CHECK_EQ_INT(seen, backdrop);
  CHECK_EQ_INT(DrvScreenPixel(width - 2, height - 2), backdrop);
  // The page covers the backdrop where it stands.
  RECT pageRect;
  CHECK(DrvWindowRect(page, &pageRect));
  int cx = (pageRect.left + pageRect.right) / 2;
  CHECK(DrvScreenPixel(cx, pageRect.bottom - 4) != backdrop);
  CHECK(DrvScreenshot("backdrop_640x480"));

  CHECK(DrvClick(page, IDCANCEL));
  EXPECT_MESSAGE_BOX(p, "Kestrova", kAborted, MB_ICONWARNING, IDOK);
  DWORD code = 99;
  CHECK(DrvWaitExit(p, DRV_WAIT, &code));
  CHECK_EQ_INT(code, 0);
  CHECK_EQ_INT(DrvMessageBoxCount(), 1);
}

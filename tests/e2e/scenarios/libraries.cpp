// Libraries planted beside the installer under system libraries' names are
// never loaded (the harness makes Wine, like Windows, prefer a file beside
// the program).
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "installer_steps.h"

namespace {

const char* const Planted[] = {"lz32.dll", "comctl32.dll"};

// `build` (NULL: the installer) copied beside the planted libraries into a
// fresh folder; its path, and the folder.
int PlantBeside(const DrvContext* ctx, const char* build, char* program, char* folder) {
    static int folders;
    char name[MAX_PATH], from[MAX_PATH], to[MAX_PATH];
    GetTempPathA(MAX_PATH, name);
    snprintf(folder, MAX_PATH, "%sDownloads%d", name, ++folders);
    CHECK(CreateDirectoryA(folder, NULL));
    for (const char* library : Planted) {
        snprintf(name, sizeof name, "..\\planted\\%s", library);
        snprintf(to, sizeof to, "%s\\%s", folder, library);
        if (!ProductFile(ctx, name, from, sizeof from) || !CHECK(CopyFileA(from, to, FALSE)))
            return 0;
    }
    snprintf(program, MAX_PATH, "%s\\Kestrova.exe", folder);
    if (build) ProductFile(ctx, build, from, sizeof from);
    return CHECK(CopyFileA(build ? from : ctx->installer, program, FALSE));
}

// Each planted library leaves a marker beside itself when it is loaded.
int Loaded(const char* folder, const char* library) {
    char marker[MAX_PATH];
    snprintf(marker, sizeof marker, "%s\\%s.loaded", folder, library);
    return FileExists(marker);
}

}  // namespace

SCENARIO(planted_libraries) {
    char program[MAX_PATH], folder[MAX_PATH];
    // The installer through the pages that draw with the common controls;
    // then it, and builds with one of its two defences taken away (loading
    // by full path, the restricted search order), install unattended.
    REQUIRE(PlantBeside(ctx, NULL, program, folder));
    DrvProcess* p = DrvStart(program, NULL);
    HWND page = WalkTo(p, LocationCaption);
    REQUIRE(page);
    DrvClick(page, IDCANCEL);
    ExpectAbortAndExit(p);
    for (const char* build :
         {"", "..\\planted\\Kestrova-pathonly.exe", "..\\planted\\Kestrova-searchonly.exe"}) {
        if (build[0]) REQUIRE(PlantBeside(ctx, build, program, folder));
        CHECK_EQ_INT(RunSilently(program, "/S"), 0);
        for (const char* name : Planted)
            if (!CHECK(!Loaded(folder, name))) Log("  %s was loaded", name);
    }

    // A build importing lz32 the ordinary way loads the planted copy, so
    // the checks above can fail.
    REQUIRE(PlantBeside(ctx, "..\\planted\\Kestrova-staticlz.exe", program, folder));
    p = DrvStart(program, "/S");
    CHECK(DrvWaitFor(DRV_WAIT, "the planted lz32", [&] { return Loaded(folder, "lz32.dll"); }));
    DrvWaitExit(p, DRV_WAIT);
}

// The harness disables lz32 for this scenario.
SCENARIO(missing_system_library) {
    DrvProcess* p = DrvStart(ctx->installer, NULL);
    EXPECT_MESSAGE_BOX(p, "Kestrova", "A part of Windows that Kestrova needs is missing:\nlz32.dll",
                       MB_ICONERROR, IDOK);
    ExpectExit(p, 3);
    CHECK(!DrvSawWindowClass(p, "Kestrova"));
}

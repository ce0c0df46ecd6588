// Libraries planted beside the installer must never be loaded: the
// installer takes lz32 and the common controls from the system folder only.
// The harness runs these scenarios with Wine preferring native lz32 and
// comctl32, so that Wine, like Windows, would take a file beside the
// program.
#include <stdio.h>
#include <string.h>

#include "walkthrough.h"

namespace {

// Copies `program` and the two planted libraries into a fresh folder (a
// stand-in for a downloads folder); returns the copied program's path.
int PlantBeside(const DrvContext* ctx, const char* program, char* out, int size, char* folder,
                int folderSize) {
    char build[MAX_PATH];
    lstrcpynA(build, ctx->installer, sizeof build);
    char* slash = strrchr(build, '\\');
    if (!slash) return 0;
    *slash = '\0';
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(folder, folderSize, "%sDownloads", temp);
    CreateDirectoryA(folder, NULL);
    static const char* const Planted[] = {"lz32.dll", "comctl32.dll"};
    for (const char* name : Planted) {
        char from[MAX_PATH], to[MAX_PATH];
        snprintf(from, sizeof from, "%s\\planted\\%s", build, name);
        snprintf(to, sizeof to, "%s\\%s", folder, name);
        if (!CHECK(CopyFileA(from, to, FALSE))) return 0;
    }
    char from[MAX_PATH];
    if (program[0] == '\\' || strchr(program, ':'))
        lstrcpynA(from, program, sizeof from);
    else
        snprintf(from, sizeof from, "%s\\%s", build, program);
    snprintf(out, size, "%s\\Kestrova.exe", folder);
    return CHECK(CopyFileA(from, out, FALSE));
}

int MarkerLeft(const char* folder, const char* library) {
    char marker[MAX_PATH];
    snprintf(marker, sizeof marker, "%s\\%s.loaded", folder, library);
    return FileExists(marker);
}

}  // namespace

SCENARIO(planted_libraries_ignored) {
    char program[MAX_PATH], folder[MAX_PATH];
    REQUIRE(PlantBeside(ctx, ctx->installer, program, sizeof program, folder, sizeof folder));
    DrvContext planted = *ctx;
    planted.installer = program;
    InstallThroughThePages(&planted, NULL);
    CheckInstalledFiles(ctx, DefaultFolder);
    CHECK(!MarkerLeft(folder, "lz32.dll"));
    CHECK(!MarkerLeft(folder, "comctl32.dll"));
}

namespace {

// Builds with one of the two defences taken away: the other must keep the
// planted libraries out by itself, through the pages that draw with the
// common controls' image lists.
void ExpectOneDefenceHolds(const DrvContext* ctx, const char* build) {
    char program[MAX_PATH], folder[MAX_PATH];
    REQUIRE(PlantBeside(ctx, build, program, sizeof program, folder, sizeof folder));
    DrvContext planted = *ctx;
    planted.installer = program;
    HWND welcome;
    DrvProcess* p = StartInstaller(&planted, &welcome);
    REQUIRE(welcome);
    HWND location = WalkToLocation(p);
    REQUIRE(location);
    CHECK(!MarkerLeft(folder, "lz32.dll"));
    CHECK(!MarkerLeft(folder, "comctl32.dll"));
    DrvClick(location, IDCANCEL);
    ExpectAbortAndExit(p);
}

}  // namespace

SCENARIO(planted_libraries_path_only) {
    ExpectOneDefenceHolds(ctx, "planted\\Kestrova-pathonly.exe");
}

SCENARIO(planted_libraries_search_only) {
    ExpectOneDefenceHolds(ctx, "planted\\Kestrova-searchonly.exe");
}

// The same test against a build that imports lz32 the ordinary way: the
// planted library is loaded, so the test above can fail.
SCENARIO(planted_libraries_probe) {
    char program[MAX_PATH], folder[MAX_PATH];
    REQUIRE(PlantBeside(ctx, "planted\\Kestrova-staticlz.exe", program, sizeof program, folder,
                        sizeof folder));
    DrvProcess* p = DrvStartProgram(program, NULL, NULL);
    REQUIRE(p);
    // The loader takes the imports before the program's own code runs; on
    // a slow machine that start alone may take seconds.
    DWORD start = GetTickCount();
    while (!MarkerLeft(folder, "lz32.dll") && GetTickCount() - start < DrvBound(DRV_WAIT))
        DrvPause(50);
    CHECK(MarkerLeft(folder, "lz32.dll"));
    DrvKillLeftovers();
}

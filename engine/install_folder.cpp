#include "engine/install_folder.h"

#include "engine/code_page.h"
#include "engine/folder_names.h"
#include "engine/paths.h"
#include "engine/shared_folders.h"
#include "pages/location_page.h"

HeldFolders InstallFolders;

const char* PrepareInstallFolder(int* created) {
    *created = 0;
    if (!FoldDotNames(ProgramPath, SystemLeadByte) ||
        !AcceptInstallFolder(ProgramPath, WindowsDir, SystemLeadByte))
        return "not a folder the product can be installed into or removed from";
    FolderWalkResult walk = HoldFolderChain(ProgramPath, MakeMissing | CheckKeepers, SystemLeadByte,
                                            &InstallFolders, created);
    return walk == FolderHeld ? NULL : FolderWalkReason(walk);
}

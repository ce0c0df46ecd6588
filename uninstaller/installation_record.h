// The record that the installer left of the installation: where the files
// went, which group holds the shortcuts, and which folders it made.
#pragma once

enum InstallationState {
    InstallationFound,
    InstallationMissing,  // no uninstall entry: nothing was installed
    InstallationDamaged,  // an entry whose folder or group is refused
};

// Reads the entry into ProgramPath and GroupName and checks both against
// the Windows folder (ComputeSharedFolders must have succeeded).
// `createdFolders` receives how many of the install path's deepest folders
// the installer made, `createdGroup` whether it made the group's folder;
// 0 when the entry does not say.
InstallationState ReadInstallation(unsigned long* createdFolders, int* createdGroup);

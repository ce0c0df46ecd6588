// What the installer's exit code says, for the scripts that run it
// unattended.  An interactive run ends with 0 for a cancel or an abort too:
// the user was told.
#pragma once

enum InstallerExitCode {
    ExitInstalled = 0,
    ExitFailed = 1,          // ended by a failure; what was expanded stays
    ExitBadCommandLine = 2,  // nothing was changed
    ExitMissingSystemPart = 3,
    // Another run under way: ExitAnotherRunUnderWay (shell/machine_lock.h).
};

// The installation without a screen (/S): the same engine as the pages,
// one step after another, without the pauses that pace the pages for the
// eye, with the pages' defaults for what the command line does not give.
#pragma once

// Returns the exit code (shell/exit_codes.h).
int RunSilentInstall();

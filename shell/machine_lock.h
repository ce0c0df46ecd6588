// One installation or removal of the product at a time on the whole
// machine: the installer and the uninstaller take the same lock before
// they do anything else.
#pragma once

// What both end with when another run holds the lock: the system
// installer's "another installation is already in progress", on which
// deployment tools retry.
constexpr int ExitAnotherRunUnderWay = 1618;

// Takes the lock for the rest of the process.  Returns 1, or 0 when another
// run (of either program, in any session) holds it.
int TakeMachineLock();

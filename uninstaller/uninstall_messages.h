// What the uninstaller tells the user.  Every box is captioned with the
// name under which the system lists the product's removal.
#pragma once

// Set by /S: no box is shown, the question counts as Yes and a file in use
// as Cancel.  Every text is logged when /LOG= is given.
extern int SilentRemoval;

// A command line other than /S and /LOG=file, or a log that cannot be
// written.
void ShowBadCommandLine();
// The installer or another removal holds the machine's lock.
void ShowAnotherRunUnderWay();
// Nothing to remove: no record of an installation.
void ShowNotInstalled();
// The record names a folder or group that is refused; nothing is removed.
void ShowDamagedRecord();
// A folder of the installation is a link, or no longer the one the
// installer made; nothing is removed.
void ShowFolderReplaced(const char* folder);
// The Windows folders cannot be had; nothing is removed.
void ShowFoldersMissing();
// 1 when the user answers Yes to removing the product.
int AskToRemove();
// A file that cannot be deleted: 1 for Retry, 0 for Cancel.
int AskRetryInUse(const char* path);
void ShowRemoved();
// Everything is gone but the uninstall entry, which could not be deleted.
void ShowEntryKept();

// The installer's command line, for unattended installations: free of
// Windows calls, so that every way of writing it is unit-tested natively.
//
//   /S            silent: no backdrop, no page, no message box
//   /G=group      the Start-menu group
//   /LOG=file     append a plain-text log of the run
//   /D=folder     the install folder; last, since the rest of the line is
//                 the folder, blanks and all
//   /?            the usage
//
// Options are case-insensitive and may come in any order (the folder
// last).  A value of /G= or /LOG= may be put in double quotation marks to
// hold blanks.
#pragma once

#include <stddef.h>

#include "engine/paths.h"
#include "pages/location_rules.h"

constexpr int OptionGroupSize = 41;  // as GroupName: 40 characters
constexpr int OptionLogSize = 260;
constexpr int OptionErrorSize = 160;

struct InstallOptions {
    int silent;
    int usage;
    char group[OptionGroupSize];   // empty when not given
    char logPath[OptionLogSize];   // empty when not given
    char folder[ProgramPathSize];  // empty when not given
    char error[OptionErrorSize];   // why the line was refused
};

// The options of this run; all empty until the entry has parsed them.
extern InstallOptions CommandLineOptions;

// The arguments: what follows the program's name and the blanks after it.
// The name is quoted, or runs to the first blank, or is the program's own
// full path `ownPath` (any case; may be NULL) written out unquoted, blanks
// and all, as a start that names the program apart may give it.
const char* SkipProgramName(const char* commandLine, const char* ownPath);

// Fills `options` from `arguments`.  Returns 1, or 0 with the reason in
// `options->error`: an unknown option, or a value that is missing, does
// not fit, or is refused by the rules of the page it stands for (the
// location page's texts for the folder).  `silent` is set whenever /S
// appears, even on a line that is refused, so that a silent run's refusal
// shows nothing.
int ParseInstallOptions(const char* arguments, InstallOptions* options, LeadBytePredicate isLead);

// 1 when /S stands among `arguments` (before any /D=, whose value runs to
// the end), so that even a refused line, or a run turned away before its
// line is read, stays silent.
int MentionsSilent(const char* arguments);

struct UninstallOptions {
    int silent;
    char logPath[OptionLogSize];  // empty when not given
};

// The uninstaller's command line: /S (any case) for a removal without
// question or message and /LOG=file, as the installer takes them, each at
// most once, in any order, or nothing.  Returns 1, or 0 for anything else
// (then `silent` still tells whether /S was among it).
int ParseUninstallOptions(const char* arguments, UninstallOptions* options);

// The usage text that /? shows.
extern const char UsageText[];

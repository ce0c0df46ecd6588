#include "shell/command_line.h"

#include "engine/folder_names.h"

InstallOptions CommandLineOptions;

const char UsageText[] =
    "Usage: Kestrova [/S] [/G=group] [/LOG=file] [/D=folder]\n\n"
    "/S\tinstall without showing anything\n"
    "/G=group\tthe Start-menu group (Quorvik if not given)\n"
    "/LOG=file\tappend a log of the installation to the file\n"
    "/D=folder\tthe install folder (C:\\Halvenor\\Quorvik if not given);\n"
    "\tlast on the line, blanks and all\n"
    "/?\tthis text\n\n"
    "Exit codes: 0 installed, 1 failed, 2 bad command line,\n"
    "3 a part of Windows missing, 1618 another installation or removal running.";

namespace {

const char GroupRefused[] =
    "/G= needs a group of 1 to 40 characters: folder names separated by backslashes.";
const char LogRefused[] = "/LOG= needs a file name of at most 259 characters.";
const char FolderTooLong[] = "Path invalid!\n\nThe folder is longer than 259 characters.";
const char UnknownOption[] = "Unknown option: ";
// Enough of an unknown option to recognise it in the message.
const size_t ShownTokenLimit = 40;

int IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Past "/NAME" when `p` starts with it (letters in any case) and it is
// followed by `next`: '=' for an option with a value, 0 for one without
// (then a blank or the end must follow).  NULL otherwise.
const char* MatchOption(const char* p, const char* name, char next) {
    if (*p++ != '/') return nullptr;
    for (; *name; ++name, ++p)
        if (Upper(*p) != *name) return nullptr;
    if (next == '=') return *p == '=' ? p + 1 : nullptr;
    // A quotation mark may close an option that one opened.
    if (*p == '"') return p + 1;
    return (*p == '\0' || IsBlank(*p)) ? p : nullptr;
}

// An option may stand in quotation marks whole ("/G=My Tools") as well as
// have its value quoted (/G="My Tools"): past the opening mark, if any.
const char* OptionStart(const char* p, int* quoted) {
    *quoted = *p == '"';
    return *quoted ? p + 1 : p;
}

int Refuse(InstallOptions* options, const char* text, const char* token) {
    size_t used = 0;
    for (const char* t = text; *t && used + 1 < sizeof options->error; ++t)
        options->error[used++] = *t;
    for (size_t i = 0; token && token[i] && !IsBlank(token[i]) && i < ShownTokenLimit &&
                       used + 1 < sizeof options->error;
         ++i)
        options->error[used++] = token[i];
    options->error[used] = '\0';
    return 0;
}

// A value up to the next blank outside double quotation marks, which are
// dropped (`quoted`: one is open already).  Returns what follows it, or
// NULL when it does not fit in `size` bytes or a quotation mark is left
// open.
const char* ReadValue(const char* p, char* out, size_t size, int quoted) {
    size_t used = 0;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (used + 1 >= size) return nullptr;
        out[used++] = *p;
    }
    out[used] = '\0';
    return quoted ? nullptr : p;
}

// The rest of the line, without the blanks at its end and without the
// quotation marks around it (`quoted`: the opening one came before).  0
// when it does not fit.
int ReadRest(const char* p, char* out, size_t size, int quoted) {
    size_t length = 0;
    while (p[length]) ++length;
    while (length > 0 && IsBlank(p[length - 1])) --length;
    if (!quoted && length >= 2 && p[0] == '"') {
        ++p;
        --length;
        quoted = 1;
    }
    if (quoted && length >= 1 && p[length - 1] == '"') --length;
    if (length >= size) return 0;
    for (size_t i = 0; i < length; ++i) out[i] = p[i];
    out[length] = '\0';
    return 1;
}

int AcceptFolder(const char* value, int quoted, InstallOptions* options) {
    if (!ReadRest(value, options->folder, sizeof options->folder, quoted)) {
        options->folder[0] = '\0';
        return Refuse(options, FolderTooLong, nullptr);
    }
    PathVerdict verdict = CheckTypedPath(options->folder);
    if (verdict == PathAccepted) return 1;
    FormatRefusal(options->error, sizeof options->error, verdict);
    return 0;
}

}  // namespace

int MentionsSilent(const char* p) {
    for (p = SkipBlanks(p); *p; p = SkipBlanks(p)) {
        int quoted;
        const char* option = OptionStart(p, &quoted);
        if (MatchOption(option, "D", '=')) return 0;  // the rest is a folder
        if (MatchOption(option, "S", 0)) return 1;
        quoted = 0;
        for (; *p && (quoted || !IsBlank(*p)); ++p)
            if (*p == '"') quoted = !quoted;
    }
    return 0;
}

const char* SkipProgramName(const char* commandLine, const char* ownPath) {
    const char* p = commandLine;
    size_t own = 0;
    while (ownPath && ownPath[own] != '\0' && Upper(ownPath[own]) == Upper(p[own])) ++own;
    if (own > 0 && ownPath[own] == '\0' && (p[own] == '\0' || IsBlank(p[own])))
        return SkipBlanks(p + own);
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    return SkipBlanks(p);
}

int ParseInstallOptions(const char* arguments, InstallOptions* options, LeadBytePredicate isLead) {
    *options = InstallOptions();
    options->silent = MentionsSilent(arguments);
    for (const char* p = SkipBlanks(arguments); *p; p = SkipBlanks(p)) {
        int quoted;
        const char* option = OptionStart(p, &quoted);
        const char* value;
        if ((value = MatchOption(option, "S", 0))) {
            p = value;
        } else if ((value = MatchOption(option, "?", 0))) {
            options->usage = 1;
            p = value;
        } else if ((value = MatchOption(option, "G", '='))) {
            p = ReadValue(value, options->group, sizeof options->group, quoted);
            if (!p || !AcceptGroupName(options->group, isLead))
                return Refuse(options, GroupRefused, nullptr);
        } else if ((value = MatchOption(option, "LOG", '='))) {
            p = ReadValue(value, options->logPath, sizeof options->logPath, quoted);
            if (!p || options->logPath[0] == '\0') return Refuse(options, LogRefused, nullptr);
        } else if ((value = MatchOption(option, "D", '='))) {
            return AcceptFolder(value, quoted, options);
        } else {
            return Refuse(options, UnknownOption, p);
        }
    }
    return 1;
}

int ParseUninstallOptions(const char* arguments, UninstallOptions* options) {
    *options = UninstallOptions();
    options->silent = MentionsSilent(arguments);
    int seenSilent = 0;
    for (const char* p = SkipBlanks(arguments); *p; p = SkipBlanks(p)) {
        int quoted;
        const char* option = OptionStart(p, &quoted);
        const char* value;
        if ((value = MatchOption(option, "S", 0)) && !seenSilent++) {
            p = value;
        } else if ((value = MatchOption(option, "LOG", '=')) && options->logPath[0] == '\0') {
            p = ReadValue(value, options->logPath, sizeof options->logPath, quoted);
            if (!p || options->logPath[0] == '\0') return 0;
        } else {
            return 0;
        }
    }
    return 1;
}

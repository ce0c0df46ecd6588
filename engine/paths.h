// Path utilities of the installation engine.
//
// Paths are plain 8-bit strings in the system's ANSI code page, at most 260
// bytes with the terminator.  The separators that these functions look for
// are the bytes 0x5C (backslash), 0x3A (colon) and 0x20 (space), but on a
// double-byte code page (932, 936, 949, 950) the second byte of a character
// can be any of them or an ASCII letter: "表" is 0x95 0x5C in code page 932.
// So every function walks characters, not bytes: a byte for which `isLead`
// is nonzero and the byte after it form one character, which is never taken
// as a separator, never changes case and is never split.  A lead byte with
// the terminator right after it stands alone (a lone lead byte).  With
// SingleByteCodePage every byte is a character of its own.
//
// Nothing here calls the system or a library, so the same code runs in the
// installer and natively in the unit tests.  Every read stays inside the
// strings given; a null `isLead` is taken as SingleByteCodePage.
#ifndef KESTROVA_ENGINE_PATHS_H
#define KESTROVA_ENGINE_PATHS_H

#include <stddef.h>

// Nonzero when `byte` starts a two-byte character of the system's ANSI code
// page.  The installer passes SystemLeadByte (engine/code_page.h), a wrapper
// around IsDBCSLeadByte; tests pass a fixed rule.
typedef int (*LeadBytePredicate)(unsigned char byte);

// The rule of a single-byte code page: no byte starts a two-byte character.
int SingleByteCodePage(unsigned char byte);

// The composing functions below return 1 on success and 0 when the result
// would not fit in destSize bytes (terminator included) or the input is
// unusable (a null pointer, an empty folder, or a folder, name, group or
// caption that ends in a lone lead byte: the byte after it would become its
// trail byte, and the file would land in another folder).  On 0 the
// destination holds the empty string when destSize > 0; nothing is ever
// written past destSize, so a caller that tests the result never goes on
// with a cut path.

// folder, then one backslash unless the folder's last character already is
// one, then name.  A name that starts with a backslash is not trimmed.
//   "C:\" + "Quorvik"          -> "C:\Quorvik"
//   "C:\Halvenor" + "Quorvik"  -> "C:\Halvenor\Quorvik"
int JoinPath(char* dest, size_t destSize, const char* folder, const char* name,
             LeadBytePredicate isLead);

// As JoinPath, then the last character of the result is replaced with '_':
// the name of the still compressed copy of a payload file.  When that last
// character is a two-byte one the whole pair becomes a single '_'.
//   "C:\Windows\Temp\" + "Zelmunin.exe" -> "C:\Windows\Temp\Zelmunin.ex_"
//   "C:\T" + "x"                        -> "C:\T\_"
int StagedName(char* dest, size_t destSize, const char* folder, const char* name,
               LeadBytePredicate isLead);

// folder, a backslash unless one was just written, group, a backslash unless
// one was just written, caption and ".lnk".  An empty group therefore adds no
// second backslash.
//   "C:\Windows\Start Menu\Programs", "Quorvik", "Read Me"
//     -> "C:\Windows\Start Menu\Programs\Quorvik\Read Me.lnk"
int LinkName(char* dest, size_t destSize, const char* folder, const char* group,
             const char* caption, LeadBytePredicate isLead);

// Gives a path the capitalisation in which the installer shows it, in place:
// the first character and the character after each backslash or space are
// upper-cased when they are lower-case ASCII letters, every other ASCII
// capital is lower-cased.  The character after a separator is passed over
// whatever it is (so of two separators in a row the second does not count,
// and a capital after a separator stays), and the first character is never
// lower-cased nor taken as a separator.  Bytes of 128 or more and two-byte
// characters are left alone.
//   "c:\program files\my app" -> "C:\Program Files\My App"
//   "C:\WINDOWS\TEMP\"        -> "C:\Windows\Temp\"
void NormaliseNameCase(char* path, LeadBytePredicate isLead);

// The folders that HoldFolderChain walks (after the drive root), as prefix lengths
// of `path` in the order in which they are created: one for every backslash
// after the drive's ":\", ending before that backslash, then the whole path.
// "C:\Halvenor\Quorvik" gives 11, 19; "C:\A\" gives 4, 5 (the second request
// names the folder just made); a drive root "C:\" gives the single 3.
//
// The path must start with a drive: a single-byte character, a colon and a
// backslash.  Anything else ("\\server\share", "Quorvik", "C:Quorvik", an
// empty string) is not usable and gives 0, so that nothing is created
// relative to the current folder.  A backslash that directly follows a
// colon always counts as a drive's: should a later ":\" appear, only the part
// after it forms the chain.
//
// Returns how many lengths were written, or 0 when the path is not usable or
// would need more than maxCount of them (never a partial chain).
int FolderChainLengths(const char* path, size_t* lengths, int maxCount, LeadBytePredicate isLead);

// 1 when the path's last character is a backslash (not the second byte of a
// two-byte character), 0 otherwise or for an empty path.
int EndsWithBackslash(const char* path, LeadBytePredicate isLead);

// Folds a path the way the system reads it, in place: empty names and "."
// are dropped, and ".." drops the name before it (never the drive's root),
// so that the installer records, and the uninstaller checks, the folder
// that was really used.  No backslash is left at the end unless the result
// is a drive root.  Returns 1, or 0 (path unchanged) when it does not start
// with a drive as FolderChainLengths requires.
//   "C:\Apps\..\Quorvik"   -> "C:\Quorvik"
//   "C:\A\.\B"           -> "C:\A\B"
//   "C:\..\A"              -> "C:\A"
int FoldDotNames(char* path, LeadBytePredicate isLead);

#endif  // KESTROVA_ENGINE_PATHS_H

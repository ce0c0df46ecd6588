// Paths and names: composed, reported, recorded, and from the command line.
#include "engine/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/folder_names.h"
#include "engine/reported_folder.h"
#include "pages/browser_layout.h"
#include "pages/location_rules.h"
#include "shell/command_line.h"
#include "system/record_contents.h"
#include "uninstaller/record_checks.h"

namespace {

using namespace std::string_literals;

// The lead-byte rule of code page 932 (Japanese), where the second byte of
// a character can be a backslash: "表" is 0x95 0x5C and "ソ" 0x83 0x5C.
int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

// `write(out, size)` must stay inside `size` bytes and leave an empty result
// when it refuses (returns 0): what it wrote, "<refused>", or what went wrong.
template <typename Write>
std::string Guarded(size_t size, Write write) {
    std::vector<char> out(size + 16, '#');
    out.back() = '\0';  // so that a result left unterminated shows as such
    const int ok = write(out.data(), size);
    if (std::count(out.begin() + size, out.end() - 1, '#') != 15) return "<overrun>";
    if (!ok) return size == 0 || out[0] == '\0' ? "<refused>" : "<refused, not emptied>";
    const std::string text = out.data();
    return text.size() < size ? text : "<unterminated>";
}

// A heap copy of exactly the string, so the sanitizer sees a read past it.
std::vector<char> Exact(const std::string& s) {
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

// `second`: the name, a link's group or a chain entry's number.  `folder` is
// the Windows folder for kBare and kQuiet, a system call's result for kReported.
enum Composer { kJoin, kStaged, kLink, kEntry, kBare, kQuiet, kReported };
std::string Compose(Composer what, const std::string& folder, const std::string& second,
                    const std::string& caption, LeadBytePredicate isLead, size_t size = 512) {
    auto f = Exact(folder), s = Exact(second), c = Exact(caption);
    return Guarded(size, [&](char* d, size_t n) {
        return what == kJoin     ? JoinPath(d, n, f.data(), s.data(), isLead)
               : what == kStaged ? StagedName(d, n, f.data(), s.data(), isLead)
               : what == kLink   ? LinkName(d, n, f.data(), s.data(), c.data(), isLead)
               : what == kEntry  ? ChainEntryPath(d, n, f.data(), std::stoi(second), isLead)
               : what == kBare   ? ComposeUninstallCommand(d, n, f.data(), s.data(), isLead)
               : what == kQuiet
                   ? ComposeQuietUninstallCommand(d, n, f.data(), s.data(), isLead)
                   : AcceptSystemFolder(d, n, f.data(), f.size(), folder.size(), isLead);
    });
}

// Each result also fits its own size exactly and is refused one byte short,
// never cut.  A part ending in a lone lead byte would take the next byte
// written as its trail byte.  The uninstall command is quoted only when it
// holds a blank; a reported folder keeps capitals only where a word starts.
TEST(Paths, ComposersFitExactlyAndRefuseOneByteShort) {
    const LeadBytePredicate sb = SingleByteCodePage;
    const std::string f240 = "C:\\" + std::string(240, 'f');
    const std::string n16 = std::string(14, 'n') + kHyo;
    const std::string z = "Zelmunin.exe";
    using S = std::string;
    const std::tuple<Composer, S, S, S, LeadBytePredicate, S> cases[] = {
        {kJoin, "C:\\Halvenor", "Quorvik", "", sb, "C:\\Halvenor\\Quorvik"},
        {kJoin, "C:\\x\x95\\", "y", "", nullptr, "C:\\x\x95\\y"},  // null: single-byte
        {kJoin, f240 + kHyo, n16, "", Cp932, f240 + kHyo + "\\" + n16},
        {kJoin, "C:\\A\x95\x95", "x", "", Cp932, "C:\\A\x95\x95\\x"},
        {kStaged, "C:\\Windows\\Temp\\", z, "", sb, "C:\\Windows\\Temp\\Zelmunin.ex_"},
        // With no name the backslash that ends the folder part is the last one.
        {kStaged, "C:\\T", "", "", sb, "C:\\T_"},
        {kStaged, f240, n16, "", sb, f240 + "\\" + n16.substr(0, 15) + "_"},
        // A last pair becomes one '_'; only that shorter length counts.
        {kStaged, f240, n16, "", Cp932, f240 + "\\" + n16.substr(0, 14) + "_"},
        {kLink, "C:\\Windows\\Start Menu\\Programs", "Quorvik", "Read Me", sb,
         "C:\\Windows\\Start Menu\\Programs\\Quorvik\\Read Me.lnk"},
        {kLink, "C:\\P\\", "G\\", "c", sb, "C:\\P\\G\\c.lnk"},
        {kLink, "C:\\P", "", "c", sb, "C:\\P\\c.lnk"},
        {kLink, "C:\\G" + kHyo, kSo, "c", Cp932, "C:\\G" + kHyo + "\\" + kSo + "\\c.lnk"},
        // The folder a chain row stands for: the path cut after its backslash.
        {kEntry, "C:\\Tools\\Quorvik", "1", "", sb, "C:\\"},
        {kEntry, "C:\\Tools\\Quorvik", "2", "", sb, "C:\\Tools"},
        {kEntry, "C:\\x" + kHyo + "\\y", "2", "", Cp932, "C:\\x" + kHyo},
        {kBare, "C:\\WINDOWS", z, "", Cp932, "C:\\WINDOWS\\Zelmunin.exe"},
        {kBare, "C:\\My Windows\\", z, "", Cp932, "\"C:\\My Windows\\Zelmunin.exe\""},
        // A pair's second byte is no blank.
        {kBare, "C:\\\x83 ", z, "", Cp932, "C:\\\x83 \\Zelmunin.exe"},
        {kQuiet, "C:\\WINDOWS", z, "", Cp932, "\"C:\\WINDOWS\\Zelmunin.exe\" /S"},
        {kReported, "C:\\WINDOWS\\TEMP\\", "", "", sb, "C:\\Windows\\Temp\\"},
        {kReported, "c:\\program files\\my app", "", "", sb, "C:\\Program Files\\My App"},
        // Of two separators the second is passed over.
        {kReported, "C:\\A  B", "", "", sb, "C:\\A  b"},
        {kReported, "1:\\aB_9\xC4\xe4Z", "", "", sb, "1:\\Ab_9\xC4\xe4z"},
        // A pair's 0x5C starts no word, nor does its letter ("ァ"); a pair
        // after a separator is passed over.
        {kReported, "c:\\x" + kSo + "ABC", "", "", Cp932, "C:\\X" + kSo + "abc"},
        {kReported, "C:\\w\x83\x41Z", "", "", Cp932, "C:\\W\x83\x41z"},
        {kReported, "a " + kHyo + "B", "", "", Cp932, "A " + kHyo + "b"},
        {kJoin, "", "x", "", sb, "<refused>"},
        {kLink, "", "g", "c", sb, "<refused>"},
        {kJoin, "C:\\A\x95", "x", "", Cp932, "<refused>"},
        {kJoin, "C:\\A", "x\x95\x95\x95", "", Cp932, "<refused>"},
        {kStaged, "C:\\A", "x\x95", "", Cp932, "<refused>"},
        {kLink, "C:\\P", "G\x95\x95\x95", "c", Cp932, "<refused>"},
        {kLink, "C:\\P", "G", "c\x95", Cp932, "<refused>"},
        {kEntry, "C:\\Tools", "2", "", sb, "<refused>"},  // no second backslash
        {kEntry, "C:\\Tools", "0", "", sb, "<refused>"},
    };
    for (const auto& [what, folder, second, caption, isLead, expected] : cases) {
        SCOPED_TRACE(folder + "|" + second + "|" + caption);
        EXPECT_EQ(expected, Compose(what, folder, second, caption, isLead));
        if (expected[0] == '<') continue;
        const size_t fits = expected.size() + 1;
        EXPECT_EQ(expected, Compose(what, folder, second, caption, isLead, fits));
        for (size_t size : {fits - 1, size_t{0}})
            EXPECT_EQ("<refused>", Compose(what, folder, second, caption, isLead, size));
    }
}

TEST(Paths, FolderChainLengthsAndIndents) {
    const auto Chain = [](const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
        auto p = Exact(path);
        size_t lengths[300];
        return std::vector<size_t>(lengths,
                                   lengths + FolderChainLengths(p.data(), lengths, 300, isLead));
    };
    using V = std::vector<size_t>;
    EXPECT_EQ(V({11, 19}), Chain("C:\\Halvenor\\Quorvik"));
    EXPECT_EQ(V({4, 5}), Chain("C:\\A\\"));
    EXPECT_EQ(V({3}), Chain("C:\\"));
    EXPECT_EQ(V({8}), Chain("C:\\a:\\bc"));  // only what follows the last ":\"
    for (const char* bad : {"", "C", "C:", "C:x\\y", "\\\\srv\\share", "Quorvik", ":\\x"})
        EXPECT_EQ(V(), Chain(bad)) << bad;
    // A lead byte and the colon are one character, so there is no drive.
    EXPECT_EQ(V(), Chain("\x95:\\x", Cp932));
    EXPECT_EQ(V({6, 8}), Chain("C:\\x" + kHyo + "\\y", Cp932));
    EXPECT_EQ(V({4, 6}), Chain("C:\\a\\\x95", Cp932));
    // Never a partial chain: too small an array gives 0 and nothing past it.
    size_t lengths[3] = {99, 99, 99};
    EXPECT_EQ(0, FolderChainLengths("C:\\a\\b\\c", lengths, 2, SingleByteCodePage));
    EXPECT_EQ(99u, lengths[2]);
    EXPECT_EQ(3, FolderChainLengths("C:\\a\\b\\c", lengths, 3, SingleByteCodePage));
    // Pairs are counted from the start: here the final backslash stands alone.
    EXPECT_EQ(1, EndsWithBackslash("C:\\\x95\x95\\", Cp932));
    EXPECT_EQ(0, EndsWithBackslash("C:\\\x95\x95\x95\\", Cp932));
    // Rows past the indent table are subfolders of the current folder too.
    int table[IndentTableSize];
    SetChainIndents(table, 3);  // "Folders", C:\, Tools, Quorvik
    for (const auto& [row, level] : {std::pair{0, 0}, {3, 3}, {4, 4}, {IndentTableSize, 4}})
        EXPECT_EQ(level, IndentLevel(table, row)) << row;
    SetDriveIndents(table);
    EXPECT_EQ(0, IndentLevel(table, 0));
    EXPECT_EQ(1, IndentLevel(table, 700));
}

// A folder a system call wrote, taken only whole, terminated and fitting;
// the source stays readable beyond rawSize, so a read past it would show.
TEST(ReportedFolder, TakesOnlyAWholeTerminatedFolderThatFits) {
    const std::string windows = "C:\\WINDOWS\0"s + std::string(250, 'z');
    const auto reported = [&](size_t rawSize, unsigned long length) {
        return Guarded(260, [&](char* out, size_t size) {
            return AcceptSystemFolder(out, size, windows.data(), rawSize, length,
                                      SingleByteCodePage);
        });
    };
    EXPECT_EQ("C:\\Windows", reported(11, 10));
    // A failure, the size the call needed, a length not ending at the terminator.
    for (unsigned long length : {0ul, 260ul, 5ul})
        EXPECT_EQ("<refused>", reported(260, length)) << length;
    EXPECT_EQ("<refused>", reported(10, 10));  // just past the system's
}

TEST(RecordedNames, RefuseWhatCouldReachBeyondTheProduct) {
    const char windows[] = "C:\\Windows";
    for (const char* path :
         {"C:\\Halvenor\\Quorvik", "D:\\My Apps\\Quorvik\\", "C:\\Windows Tools"})
        EXPECT_EQ(1, AcceptInstallFolder(path, windows, SingleByteCodePage)) << path;
    EXPECT_EQ(1, AcceptInstallFolder(("C:\\" + std::string(256, 'q')).c_str(), windows, nullptr));
    // "表" ends in the byte of a backslash and "ソ" in that of a '|'.
    EXPECT_EQ(1, AcceptInstallFolder("C:\\x\x95\x5C\\\x83\x7C", windows, Cp932));
    for (const char* path : {"", "C:Quorvik", "C:\\", "C:\\\\", "C:\\Halvenor\\..",
                             "C:\\Halvenor\\ ", "C:\\a/..\\Windows", "C:\\Halvenor\\Quorvik:stream",
                             "C:\\Halvenor\\Quor?ik", "C:\\Halvenor\\Quor\tvik",
                             // The Windows folder, however it is written.
                             "c:\\WINDOWS\\", "C:\\Windows. \\"})
        EXPECT_EQ(0, AcceptInstallFolder(path, windows, SingleByteCodePage)) << path;
    EXPECT_EQ(0, AcceptInstallFolder(("C:\\" + std::string(257, 'q')).c_str(), windows, nullptr));
    EXPECT_EQ(0, AcceptInstallFolder(nullptr, windows, SingleByteCodePage));
    // A group: folder names of up to forty bytes in all.
    for (const std::string& group : {std::string(40, 'g'), "Tools."s, "Tools\\Quorvik"s})
        EXPECT_TRUE(AcceptGroupName(group.c_str(), SingleByteCodePage)) << group;
    EXPECT_TRUE(AcceptGroupName(kHyo.c_str(), Cp932));
    for (const std::string& group : {""s, ".."s, " "s, "a/b"s, "C:x"s, kHyo, std::string(41, 'g'),
                                     "a\\\\b"s, "\\a"s, "a\\"s, "..\\StartUp"s})
        EXPECT_FALSE(AcceptGroupName(group.c_str(), SingleByteCodePage)) << group;
}

// What the installer records of a typed folder: the one the system uses.
TEST(RecordedNames, FoldLikeTheSystem) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Apps\\..\\Quorvik", "C:\\Quorvik"},
        {"C:\\\\A\\.\\B\\", "C:\\A\\B"},
        {"C:\\..\\..\\A", "C:\\A"},
        {"C:\\A\\..", "C:\\"},
        {"C:\\...\\.a", "C:\\...\\.a"},
        // "表" ends in the byte of a backslash: "x表.." stays one name.
        {"C:\\a\\x\x95\x5C..\\b", "C:\\a\\x\x95\x5C..\\b"}};
    for (const auto& [path, folded] : cases) {
        std::string buffer = path;
        EXPECT_EQ(1, FoldDotNames(&buffer[0], Cp932)) << path;
        EXPECT_EQ(folded, buffer.c_str()) << path;
    }
    char relative[] = "Apps\\..\\Quorvik";
    EXPECT_EQ(0, FoldDotNames(relative, nullptr));
    EXPECT_STREQ("Apps\\..\\Quorvik", relative);
}

// Deepest first, never the drive, even for a count a changed record made
// too large; a closing backslash names the folder before it, once.
TEST(RemovableFolders, DeepestFirstAndNeverTheDrive) {
    const std::string deep = "C:\\Halvenor\\Quorvik";
    const std::tuple<std::string, unsigned long, std::vector<std::string>> cases[] = {
        {deep, 2, {deep, "C:\\Halvenor"}},  {deep, 1, {deep}},         {deep, 0, {}},
        {deep, 99, {deep, "C:\\Halvenor"}}, {"C:\\A\\", 2, {"C:\\A"}}, {"C:\\", 5, {}},
    };
    for (const auto& [path, created, folders] : cases) {
        size_t lengths[16];
        const int count = RemovableFolderLengths(path.c_str(), created, lengths, 16, nullptr);
        std::vector<std::string> got;
        for (int i = 0; i < count; ++i) got.push_back(path.substr(0, lengths[i]));
        EXPECT_EQ(folders, got) << path << " " << created;
    }
}

// /D= refuses a folder with the location page's texts.  Whole options in
// quotation marks, as a program passing separate arguments writes them; "/S"
// inside the folder is the folder's; a line with /S stays silent when refused.
TEST(CommandLine, TakesEveryOptionInAnyOrderAndCaseOrRefusesWithTheReason) {
    const auto Parse = [](const std::string& arguments) {
        InstallOptions options;
        const int ok = ParseInstallOptions(arguments.c_str(), &options, SingleByteCodePage);
        return std::pair{ok, options};
    };
    const std::string noDrive = "Path invalid!\n\nMissing : or \\ in drive.";
    const std::pair<std::string, std::string> folders[] = {
        {"", "Path invalid!\n\nPath may not be empty!"},
        {"C:/Tools", noDrive},
        {"C;\\Tools", noDrive},
        {"C:\\", "Path invalid!\n\nPath may not be a root drive..."},
        {"C:\\" + std::string(256, 'a'), "accepted"},  // 259 characters
    };
    for (const auto& [typed, refusal] : folders) {
        char page[128];
        const int refused = FormatRefusal(page, sizeof page, CheckTypedPath(typed.c_str()));
        EXPECT_EQ(refusal, refused ? page : "accepted") << typed;
        const auto [ok, options] = Parse("/D=" + typed);
        EXPECT_EQ(refusal, ok ? "accepted" : options.error) << typed;
    }
    const char own[] = "C:\\My Files\\Kestrova.exe";
    EXPECT_STREQ("/S", SkipProgramName("\"C:\\My Files\\Kestrova.exe\"  /S", own));
    EXPECT_STREQ("/S /D=C:\\A", SkipProgramName("Kestrova.exe\t/S /D=C:\\A", own));
    // Its own path unquoted, blanks and all, in any case; not a longer name.
    EXPECT_STREQ("/S", SkipProgramName("c:\\my files\\KESTROVA.EXE /S", own));
    EXPECT_STREQ("", SkipProgramName("C:\\My Files\\Kestrova.exe", own));
    EXPECT_STREQ("Files\\Kestrova.exe2 /S", SkipProgramName("C:\\My Files\\Kestrova.exe2 /S", own));
    EXPECT_STREQ("Files\\Kestrova.exe", SkipProgramName("C:\\My Files\\Kestrova.exe", nullptr));
    const std::string group =
        "/G= needs a group of 1 to 40 characters: folder names separated by backslashes.";
    const std::string log = "/LOG= needs a file name of at most 259 characters.";
    const std::string g40(40, 'g'), l256(256, 'l');
    struct Case {
        std::string arguments, error;  // no error: accepted
        int silent;
        std::string group = "", log = "", folder = "";
    };
    const Case cases[] = {
        {"/log=\"C:\\My Logs\\q.log\" /g=Tools /s /D=\"C:\\My Apps\\Quorvik\"  ", "", 1, "Tools",
         "C:\\My Logs\\q.log", "C:\\My Apps\\Quorvik"},
        {"\"/S\" \"/G=My Tools\" \"/D=C:\\A\"", "", 1, "My Tools", "", "C:\\A"},
        {"/D=C:\\A /S", "", 0, "", "", "C:\\A /S"},
        {"/G=" + g40 + " /LOG=C:\\" + l256, "", 0, g40, "C:\\" + l256},
        {"/S /G=..\\Startup", group, 1},
        {"/G=\"open", group, 0},
        {"/G=" + g40 + "g", group, 0},
        {"/LOG= /S", log, 1},
        {"/LOG=C:\\" + l256 + "l", log, 0},
        {"/D=C:\\" + std::string(257, 'd'),
         "Path invalid!\n\nThe folder is longer than 259 characters.", 0},
        {"/Silent", "Unknown option: /Silent", 0},
        {"-S", "Unknown option: -S", 0},
    };
    for (const Case& c : cases) {
        const auto [ok, options] = Parse(c.arguments);
        EXPECT_EQ(c.error.empty(), ok != 0) << c.arguments;
        EXPECT_EQ(c.error, options.error) << c.arguments;
        EXPECT_EQ(c.silent, options.silent) << c.arguments;
        if (!ok) continue;
        EXPECT_FALSE(options.usage);
        EXPECT_EQ(c.group, options.group);
        EXPECT_EQ(c.log, options.logPath);
        EXPECT_EQ(c.folder, options.folder);
    }
    EXPECT_TRUE(Parse("/?").second.usage);
    const std::tuple<const char*, int, int, const char*> uninstall[] = {
        {"", 1, 0, ""},
        {" /s ", 1, 1, ""},
        {"/LOG=\"C:\\My Logs\\r.log\" /S", 1, 1, "C:\\My Logs\\r.log"},
        {"/S /D=C:\\A", 0, 1, nullptr},
        {"/S /S", 0, 1, nullptr},
        {"/LOG=a /LOG=b", 0, 0, nullptr},
        {"/LOG=", 0, 0, nullptr}};
    for (const auto& [arguments, ok, silent, log] : uninstall) {
        UninstallOptions got;
        EXPECT_EQ(ok, ParseUninstallOptions(arguments, &got)) << arguments;
        EXPECT_EQ(silent, got.silent) << arguments;
        if (ok) EXPECT_STREQ(log, got.logPath) << arguments;
    }
}

}  // namespace

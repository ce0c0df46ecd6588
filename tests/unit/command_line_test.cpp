// The install folder as the location page and the command line take it, and
// the other options: what a deployment script may write, and what must be
// refused before anything is changed.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "pages/location_rules.h"
#include "shell/command_line.h"

namespace {

struct Parsed {
    int ok;
    InstallOptions options;
};

Parsed Parse(const std::string& arguments) {
    Parsed p;
    p.ok = ParseInstallOptions(arguments.c_str(), &p.options, SingleByteCodePage);
    return p;
}

// Only the drive's shape is tested; /D= refuses with the page's own texts.
TEST(InstallFolder, PageAndCommandLineRefuseAlike) {
    const std::string noDrive = "Path invalid!\n\nMissing : or \\ in drive.";
    const std::pair<std::string, std::string> cases[] = {
        {"", "Path invalid!\n\nPath may not be empty!"},
        {"C:", noDrive},
        {"C:/Tools", noDrive},
        {"\\\\server\\share", noDrive},
        {"C:\\", "Path invalid!\n\nPath may not be a root drive..."},
        {"C:\\a<b>|c\\", "accepted"},
        {"C:\\" + std::string(256, 'a'), "accepted"},  // 259 characters
    };
    for (const auto& [typed, refusal] : cases) {
        char page[128];
        const int refused = FormatRefusal(page, sizeof page, CheckTypedPath(typed.c_str()));
        EXPECT_EQ(refusal, refused ? page : "accepted") << typed;
        const Parsed p = Parse("/D=" + typed);
        EXPECT_EQ(refusal, p.ok ? "accepted" : p.options.error) << typed;
    }
}

// Whole options in quotation marks, as a program passing them as separate
// arguments writes them; "/S" inside the folder is the folder's.
TEST(CommandLine, TakesEveryOptionInAnyOrderAndCase) {
    EXPECT_STREQ("/S", SkipProgramName("\"C:\\My Files\\Kestrova.exe\"  /S"));
    EXPECT_STREQ("/S /D=C:\\A", SkipProgramName("Kestrova.exe\t/S /D=C:\\A"));
    const std::tuple<std::string, int, std::string, std::string, std::string> cases[] = {
        {"/log=\"C:\\My Logs\\q.log\" /g=Tools /s /D=\"C:\\My Apps\\Quorvik\"  ", 1, "Tools",
         "C:\\My Logs\\q.log", "C:\\My Apps\\Quorvik"},
        {"\"/S\" \"/G=My Tools\" \"/D=C:\\A\"", 1, "My Tools", "", "C:\\A"},
        {"/D=C:\\A /S", 0, "", "", "C:\\A /S"},
        {"/G=" + std::string(40, 'g') + " /LOG=C:\\" + std::string(256, 'l'), 0,
         std::string(40, 'g'), "C:\\" + std::string(256, 'l'), ""},
    };
    for (const auto& [arguments, silent, group, log, folder] : cases) {
        const Parsed p = Parse(arguments);
        ASSERT_TRUE(p.ok) << arguments << ": " << p.options.error;
        EXPECT_EQ(silent, p.options.silent) << arguments;
        EXPECT_FALSE(p.options.usage);
        EXPECT_EQ(group, p.options.group);
        EXPECT_EQ(log, p.options.logPath);
        EXPECT_EQ(folder, p.options.folder);
    }
    EXPECT_TRUE(Parse("/?").options.usage);
}

// A line with /S stays silent even when refused.
TEST(CommandLine, RefusesWithTheReasonAndStaysSilentWhenAsked) {
    const std::string group =
        "/G= needs a group name of 1 to 40 characters that a folder may have.";
    const std::string log = "/LOG= needs a file name of at most 259 characters.";
    const std::tuple<std::string, std::string, int> refused[] = {
        {"/S /G=..\\Startup", group, 1},
        {"/G=\"open", group, 0},
        {"/G=" + std::string(41, 'g'), group, 0},
        {"/LOG= /S", log, 1},
        {"/LOG=C:\\" + std::string(257, 'l'), log, 0},
        {"/D=C:\\" + std::string(257, 'd'),
         "Path invalid!\n\nThe folder is longer than 259 characters.", 0},
        {"/Silent", "Unknown option: /Silent", 0},
        {"-S", "Unknown option: -S", 0},
    };
    for (const auto& [arguments, error, silent] : refused) {
        const Parsed p = Parse(arguments);
        EXPECT_FALSE(p.ok) << arguments;
        EXPECT_EQ(error, p.options.error) << arguments;
        EXPECT_EQ(silent, p.options.silent) << arguments;
    }
    const std::tuple<const char*, int, int> uninstall[] = {
        {"", 1, 0}, {" /s ", 1, 1}, {"/S /D=C:\\A", 0, 1}, {"/X", 0, 0}};
    for (const auto& [arguments, ok, silent] : uninstall) {
        int got = -1;
        EXPECT_EQ(ok, ParseUninstallOptions(arguments, &got)) << arguments;
        EXPECT_EQ(silent, got) << arguments;
    }
}

}  // namespace

// The installer's command line: what a deployment script may write, and
// what must be refused before anything is changed.
#include <gtest/gtest.h>

#include <string>

#include "shell/command_line.h"

namespace {

struct Parsed {
    int ok;
    InstallOptions options;
};

Parsed Parse(const char* arguments) {
    Parsed p;
    p.ok = ParseInstallOptions(arguments, &p.options, SingleByteCodePage);
    return p;
}

TEST(CommandLine, SkipsTheProgramNameQuotedOrNot) {
    EXPECT_STREQ("/S", SkipProgramName("\"C:\\My Files\\Kestrova.exe\"  /S"));
    EXPECT_STREQ("/S /D=C:\\A", SkipProgramName("Kestrova.exe\t/S /D=C:\\A"));
    EXPECT_STREQ("", SkipProgramName("Kestrova.exe"));
    EXPECT_STREQ("", SkipProgramName("\"Kestrova.exe"));
}

TEST(CommandLine, TakesEveryOptionInAnyOrderAndCase) {
    Parsed p = Parse("/log=\"C:\\My Logs\\q.log\" /g=Tools /s /D=C:\\My Apps\\Quorvik  ");
    ASSERT_TRUE(p.ok) << p.options.error;
    EXPECT_TRUE(p.options.silent);
    EXPECT_FALSE(p.options.usage);
    EXPECT_STREQ("Tools", p.options.group);
    EXPECT_STREQ("C:\\My Logs\\q.log", p.options.logPath);
    EXPECT_STREQ("C:\\My Apps\\Quorvik", p.options.folder);

    p = Parse("/G=\"My Tools\" /D=\"C:\\My Apps\"");
    ASSERT_TRUE(p.ok) << p.options.error;
    EXPECT_FALSE(p.options.silent);
    EXPECT_STREQ("My Tools", p.options.group);
    EXPECT_STREQ("C:\\My Apps", p.options.folder);

    // Whole options in quotation marks, as a program passing them as
    // separate arguments writes them.
    p = Parse("\"/S\" \"/G=My Tools\" \"/D=C:\\My Apps\\Quorvik\"");
    ASSERT_TRUE(p.ok) << p.options.error;
    EXPECT_TRUE(p.options.silent);
    EXPECT_STREQ("My Tools", p.options.group);
    EXPECT_STREQ("C:\\My Apps\\Quorvik", p.options.folder);

    p = Parse("/?");
    EXPECT_TRUE(p.ok && p.options.usage);
    p = Parse("");
    EXPECT_TRUE(p.ok && !p.options.silent && !p.options.group[0] && !p.options.folder[0]);
}

TEST(CommandLine, RefusesWithTheReasonAndStaysSilentWhenAsked) {
    const struct {
        const char* arguments;
        const char* error;
    } refused[] = {
        {"/S /D=C:", "Path invalid!\n\nMissing : or \\ in drive."},
        {"/D=C:\\", "Path invalid!\n\nPath may not be a root drive..."},
        {"/S /D=", "Path invalid!\n\nPath may not be empty!"},
        {"/S /G=", "/G= needs a group name of 1 to 40 characters that a folder may have."},
        {"/G=..", "/G= needs a group name of 1 to 40 characters that a folder may have."},
        {"/G=a\\b", "/G= needs a group name of 1 to 40 characters that a folder may have."},
        {"/G=\"open", "/G= needs a group name of 1 to 40 characters that a folder may have."},
        {"/LOG= /S", "/LOG= needs a file name of at most 259 characters."},
        {"/S /X", "Unknown option: /X"},
        {"/Silent", "Unknown option: /Silent"},
        {"/S=1", "Unknown option: /S=1"},
        {"-S", "Unknown option: -S"},
    };
    for (const auto& r : refused) {
        Parsed p = Parse(r.arguments);
        EXPECT_FALSE(p.ok) << r.arguments;
        EXPECT_STREQ(r.error, p.options.error) << r.arguments;
        EXPECT_EQ(std::string(r.arguments).find("/S ") != std::string::npos ||
                      std::string(r.arguments).find(" /S") != std::string::npos,
                  p.options.silent != 0)
            << r.arguments;
    }
    // "/S" inside the folder is the folder's, not the option.
    EXPECT_FALSE(Parse("/D=C:\\A /S").options.silent);
}

TEST(CommandLine, RefusesValuesThatDoNotFitTheirBuffers) {
    EXPECT_TRUE(Parse(("/G=" + std::string(40, 'g')).c_str()).ok);
    EXPECT_FALSE(Parse(("/G=" + std::string(41, 'g')).c_str()).ok);
    EXPECT_TRUE(Parse(("/LOG=C:\\" + std::string(256, 'l')).c_str()).ok);
    EXPECT_FALSE(Parse(("/LOG=C:\\" + std::string(257, 'l')).c_str()).ok);
    Parsed p = Parse(("/D=C:\\" + std::string(256, 'd')).c_str());
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(259u, std::string(p.options.folder).size());
    p = Parse(("/D=C:\\" + std::string(257, 'd')).c_str());
    EXPECT_FALSE(p.ok);
    EXPECT_STREQ("Path invalid!\n\nThe folder is longer than 259 characters.", p.options.error);
}

TEST(CommandLine, UninstallerTakesSilentAlone) {
    int silent = -1;
    EXPECT_TRUE(ParseUninstallOptions("", &silent));
    EXPECT_EQ(0, silent);
    EXPECT_TRUE(ParseUninstallOptions(" /s ", &silent));
    EXPECT_EQ(1, silent);
    EXPECT_FALSE(ParseUninstallOptions("/S /D=C:\\A", &silent));
    EXPECT_EQ(1, silent);
    EXPECT_FALSE(ParseUninstallOptions("/X", &silent));
    EXPECT_EQ(0, silent);
}

}  // namespace

// What the system's viewer in the end-to-end tour would not show: the context
// hash, a paragraph too long for a topic block, and the contents file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tools/winhelp/contents.h"
#include "tools/winhelp/hlpwriter.h"
#include "tools/winhelp/topicsource.h"

namespace winhelp {
namespace {

std::string HelpSource(const std::string& name) {
    std::ifstream in(std::string(KESTROVA_SOURCE_DIR "/product/help/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WinHelpEncoding, ContextHashHasTheFormatsValues) {
    EXPECT_EQ(ContextHash("Ab"), 17u * 43 + 18);
    EXPECT_EQ(ContextHash("0_.9"), ((10u * 43 + 13) * 43 + 12) * 43 + 9);
    for (const char* bad : {"", "two words", "a-b", "caf\xe9"})
        EXPECT_THROW(ContextHash(bad), FormatError);
}

// A paragraph longer than a topic block holds would straddle two blocks.
TEST(WinHelpFile, RefusesAParagraphLongerThanABlock) {
    HelpDocument document = ParseTopicSource(".title T\n.topic a A\nText.\n", "x");
    EXPECT_NO_THROW(BuildHelpFile(document));
    document.topics[0].body[0].runs[0].text.assign(kTopicBlockCapacity, 'x');
    EXPECT_THROW(BuildHelpFile(document), FormatError);
}

// The product's contents file, CR LF; a jump to a missing topic is refused.
TEST(WinHelpContents, TheProductsContentsWithCrLfAndNoJumpToAMissingTopic) {
    HelpFileIds files;
    for (const std::string name : {"Quorvik", "Qvnotes"})
        for (const Topic& topic : ParseTopicSource(HelpSource(name + ".txt"), name).topics)
            files[ToLower(name) + ".hlp"].insert(ToLower(topic.contextId));
    const std::string source = HelpSource("Quorvik.cnt");
    std::string crlf;
    for (char c : source) crlf += c == '\n' ? "\r\n" : std::string(1, c);
    EXPECT_EQ(BuildContents(source, "Quorvik.cnt", files), crlf);

    try {
        BuildContents(":Base Quorvik.hlp\n1 Gone=gone\n", "c.cnt", files);
        ADD_FAILURE() << "a jump to a missing topic was accepted";
    } catch (const FormatError& error) {
        EXPECT_STREQ(error.what(), "c.cnt:2: 'quorvik.hlp' has no topic 'gone'");
    }
}

}  // namespace
}  // namespace winhelp

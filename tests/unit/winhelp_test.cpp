// The product's help files as the help tool writes them, read back by a
// reader that takes its numbers from the format rather than from the writer.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tools/winhelp/contents.h"
#include "tools/winhelp/hlpwriter.h"
#include "tools/winhelp/topicsource.h"
#include "tests/unit/helpers.h"

namespace winhelp {
namespace {

std::string StringZ(const Bytes& data, std::size_t at) {
    std::string text;
    while (data.at(at) != 0) text += static_cast<char>(data[at++]);
    return text;
}
Bytes Slice(const Bytes& data, std::size_t at, std::size_t size) {
    EXPECT_LE(at + size, data.size());
    return at + size > data.size() ? Bytes() : Bytes(data.begin() + at, data.begin() + at + size);
}

std::string HelpSource(const std::string& name) {
    std::ifstream in(std::string(KESTROVA_SOURCE_DIR "/product/help/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every tree of the product's files fits one leaf page, which is all this
// reader takes.  Returns the entry count; the entries start at byte 46.
unsigned ReadLeaf(const Bytes& tree, unsigned flags, const char* structure, unsigned pageSize) {
    EXPECT_EQ(U32(tree, 0), 0x293Bu | flags << 16);
    EXPECT_EQ(U16(tree, 4), pageSize);
    EXPECT_EQ(StringZ(tree, 6), structure);
    EXPECT_EQ(U32(tree, 30), 0x00010001u);  // one page on one level
    EXPECT_EQ(tree.size(), 38u + pageSize);
    EXPECT_EQ(U32(tree, 34), U16(tree, 40));
    EXPECT_EQ(U32(tree, 42), 0xFFFFFFFFu);  // no previous nor next leaf
    return U16(tree, 40);
}

// LZ77 as the format describes it: a flag byte, low bit first; a clear bit
// is a literal, a set bit a 12-bit distance and a 4-bit length.
Bytes Expand(const Bytes& in) {
    Bytes out;
    for (std::size_t at = 0; at < in.size();) {
        const unsigned flags = in[at++];
        for (int bit = 0; bit < 8 && at < in.size(); ++bit) {
            if (!(flags & (1u << bit))) {
                out.push_back(in[at++]);
                continue;
            }
            const unsigned word = U16(in, at);
            at += 2;
            const std::size_t from = out.size() - (word & 0xFFF) - 1;
            for (unsigned i = 0; i < (word >> 12) + 3u; ++i) out.push_back(out.at(from + i));
        }
    }
    return out;
}

// The variable-length numbers of a display record, in units of one or two
// bytes: an odd first unit says that a second one follows.
std::uint32_t Compressed(const Bytes& d, std::size_t& at, unsigned unit) {
    const std::uint32_t low = unit == 1 ? d.at(at) : U16(d, at);
    at += unit;
    if (low % 2 == 0) return low / 2;
    const std::uint32_t high = unit == 1 ? d.at(at) : U16(d, at);
    at += unit;
    return low / 2 + (high << (8 * unit - 1));
}

std::map<std::string, Bytes> InternalFiles(const Bytes& file) {
    EXPECT_EQ(U32(file, 0), 0x00035F3Fu);
    EXPECT_EQ(U32(file, 12), file.size());
    auto internal = [&](std::size_t at) {
        EXPECT_EQ(U32(file, at), U32(file, at + 4) + 9);  // reserved, used
        return Slice(file, at + 9, U32(file, at + 4));
    };
    EXPECT_EQ(file.at(U32(file, 4) + 8), 4);
    const Bytes tree = internal(U32(file, 4));
    std::map<std::string, Bytes> files;
    std::size_t at = 46;
    for (unsigned i = ReadLeaf(tree, 0x0402, "z4", 1024); i > 0; --i) {
        const std::string name = StringZ(tree, at);
        // Byte-wise order, or the viewer's search misses.
        EXPECT_TRUE(files.empty() || files.rbegin()->first < name) << name;
        files[name] = internal(U32(tree, at + name.size() + 1));
        at += name.size() + 5;
    }
    return files;
}

std::string Jump(const std::string& shown, std::uint32_t hash) {
    return "[" + shown + "|" + std::to_string(hash) + "]";
}

// A display record: sizes, paragraph settings, then strings and formatting
// commands in turn.  Jumps come back as [text|hash].
std::string Paragraph(const Bytes& data1, const Bytes& data2, unsigned fonts) {
    std::size_t at = 0;
    EXPECT_EQ(Compressed(data1, at, 2), data2.size());
    EXPECT_EQ(Compressed(data1, at, 1), data2.size());
    EXPECT_EQ(U16(data1, at + 4), 2u);  // past two bytes and the id: spacing above alone
    at += 6;
    Compressed(data1, at, 1);
    std::string text;
    for (std::size_t string = 0;;) {
        const std::string piece = StringZ(data2, string);
        string += piece.size() + 1;
        text += piece;
        const unsigned command = data1.at(at++);
        if (command == 0x80) {  // font change: a descriptor of |FONT
            EXPECT_LT(U16(data1, at), fonts);
            at += 2;
        } else if (command == 0xE3) {  // jump: hash, shown text, end of hotspot
            const std::string shown = StringZ(data2, string);
            text += Jump(shown, U32(data1, at));
            string += shown.size() + 1;
            at += 4;
            EXPECT_EQ(data1.at(at++), 0x89);
        } else {
            EXPECT_EQ(command, 0x82u);
            EXPECT_EQ(data1.at(at), 0xFF);
            EXPECT_EQ(string, data2.size());
            return text;
        }
    }
}

// Each topic's title and paragraphs by its TOPICOFFSET, along the record links:
// a position is 12 + block * 16384 + place, an offset block * 32768 + characters.
std::map<std::uint32_t, std::vector<std::string>> Topics(const Bytes& topic, unsigned fonts) {
    EXPECT_EQ(topic.size() % 4096, 0u);
    std::vector<Bytes> blocks;
    for (std::size_t at = 0; at < topic.size(); at += 4096)
        blocks.push_back(Expand(Slice(topic, at + 12, 4096 - 12)));
    std::map<std::uint32_t, std::vector<std::string>> topics;
    std::vector<std::string>* current = nullptr;
    std::uint32_t position = 12, previous = 0xFFFFFFFF, characters = 0;
    for (unsigned block = 0; position != 0xFFFFFFFF;) {
        const std::size_t at = (position - 12) % 16384;
        if (at == 0 || (position - 12) / 16384 != block) {
            // Each block says where its first record is and which came last.
            block = (position - 12) / 16384;
            EXPECT_EQ(U32(topic, block * 4096 + 4), position);
            EXPECT_EQ(U32(topic, block * 4096), previous);
            characters = 0;
        }
        const Bytes& data = blocks.at(block);
        const std::uint32_t length2 = U32(data, at + 4), length1 = U32(data, at + 16);
        EXPECT_EQ(U32(data, at), length1 + length2);
        EXPECT_EQ(U32(data, at + 8), previous);
        const Bytes data1 = Slice(data, at + 21, length1 - 21);
        const Bytes data2 = Slice(data, at + length1, length2);
        if (data.at(at + 20) == 2) {
            // A topic header, numbered in order; the last closes the file.
            if (U32(data1, 12) == 0xFFFFFFFF) break;  // the closing record
            EXPECT_EQ(U32(data1, 12), topics.size());
            current = &topics[block * 32768 + characters];
            current->push_back(StringZ(data2, 0));
        } else {
            EXPECT_EQ(data.at(at + 20), 0x20);
            if (!current) return topics;
            current->push_back(Paragraph(data1, data2, fonts));
            characters += length2;
        }
        previous = position;
        position = U32(data, at + 12);
    }
    return topics;
}

// The viewer hashes the ids it is asked for itself, so the values must be
// the format's, not merely consistent between |CONTEXT and the jumps.
TEST(WinHelpEncoding, ContextHashHasTheFormatsValues) {
    EXPECT_EQ(ContextHash("a"), 17u);
    EXPECT_EQ(ContextHash("Ab"), 17u * 43 + 18);
    EXPECT_EQ(ContextHash("0_.9"), ((10u * 43 + 13) * 43 + 12) * 43 + 9);
    for (const char* bad : {"", "two words", "a-b", "caf\xe9"})
        EXPECT_THROW(ContextHash(bad), FormatError);
}

TEST(WinHelpFile, ProductHelpFilesReadBack) {
    for (const std::string name : {"Quorvik.txt", "Qvnotes.txt"}) {
        SCOPED_TRACE(name);
        const HelpDocument document = ParseTopicSource(HelpSource(name), name);
        std::map<std::string, Bytes> files = InternalFiles(BuildHelpFile(document));
        const auto topics = Topics(files["|TOPIC"], U16(files["|FONT"], 2));
        ASSERT_EQ(topics.size(), document.topics.size());
        if (name == "Quorvik.txt") EXPECT_GE(topics.rbegin()->first, 32768u) << "in one block";

        // |CONTEXT: each topic's offset by the hash of its id, in key order.
        const Bytes& context = files["|CONTEXT"];
        ASSERT_EQ(ReadLeaf(context, 0x0002, "L4", 2048), topics.size());
        std::map<std::int32_t, std::uint32_t> offsets;
        for (std::size_t at = 46; at < 46 + 8 * topics.size(); at += 8) {
            const auto key = static_cast<std::int32_t>(U32(context, at));
            EXPECT_TRUE(offsets.empty() || offsets.rbegin()->first < key);
            offsets[key] = U32(context, at + 4);
        }
        std::uint32_t contentsOffset = topics.begin()->first;
        for (const Topic& want : document.topics) {
            std::vector<std::string> paragraphs = {want.title, want.title};
            for (const auto& paragraph : want.body) {
                paragraphs.emplace_back();
                for (const TextRun& run : paragraph.runs)
                    paragraphs.back() += run.jumpTarget.empty()
                                             ? run.text
                                             : Jump(run.text, ContextHash(run.jumpTarget));
            }
            const auto offset = offsets[static_cast<std::int32_t>(ContextHash(want.contextId))];
            EXPECT_EQ(topics.count(offset) ? topics.at(offset) : std::vector<std::string>(),
                      paragraphs)
                << want.contextId;
            if (want.contextId == document.contentsId) contentsOffset = offset;
        }

        // |SYSTEM: the 3.1 header with LZ77 4 KB topic blocks, then records.
        const Bytes& system = files["|SYSTEM"];
        EXPECT_EQ(U32(system, 0), 0x0015036Cu);
        EXPECT_EQ(U16(system, 4), 1u);
        EXPECT_EQ(U16(system, 10), 4u);
        std::map<unsigned, Bytes> records;
        std::size_t at = 12;
        for (; at + 4 <= system.size(); at += 4 + U16(system, at + 2))
            records[U16(system, at)] = Slice(system, at + 4, U16(system, at + 2));
        EXPECT_EQ(at, system.size());
        EXPECT_EQ(StringZ(records[1], 0) + StringZ(records[2], 0),
                  document.title + document.copyright);
        ASSERT_EQ(records[3].size(), 4u);
        EXPECT_EQ(U32(records[3], 0), contentsOffset);
    }
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

// The help file writer, read back by a small reader that takes its numbers
// from the format rather than from the writer: the file system and its
// directory, B+ trees, |SYSTEM, the topic blocks and |CONTEXT; and the two
// text inputs of the tool with the mistakes they are refused for.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/winhelp/contents.h"
#include "tools/winhelp/hlpwriter.h"
#include "tools/winhelp/topicsource.h"

namespace winhelp {
namespace {

unsigned U16(const Bytes& data, std::size_t at) { return data.at(at) | (data.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& data, std::size_t at) {
    return U16(data, at) | (static_cast<std::uint32_t>(U16(data, at + 2)) << 16);
}
std::string StringZ(const Bytes& data, std::size_t at) {
    std::string text;
    while (data.at(at) != 0) text += static_cast<char>(data[at++]);
    return text;
}
Bytes Slice(const Bytes& data, std::size_t at, std::size_t size) {
    EXPECT_LE(at + size, data.size());
    return at + size > data.size() ? Bytes() : Bytes(data.begin() + at, data.begin() + at + size);
}

// --- B+ trees --------------------------------------------------------------

struct Tree {
    unsigned pageSize, root, pages, levels;
    std::uint32_t entries;
    Bytes data;
    std::size_t Page(unsigned n) const { return 38 + std::size_t{n} * pageSize; }
};

Tree ReadTree(const Bytes& data, unsigned flags, const std::string& structure) {
    EXPECT_EQ(U16(data, 0), 0x293Bu);
    EXPECT_EQ(U16(data, 2), flags);
    EXPECT_EQ(StringZ(data, 6), structure);
    EXPECT_EQ(U16(data, 22), 0u);
    EXPECT_EQ(U16(data, 28), 0xFFFFu);
    Tree tree{U16(data, 4), U16(data, 26), U16(data, 30), U16(data, 32), U32(data, 34), data};
    EXPECT_EQ(data.size(), tree.Page(tree.pages));
    return tree;
}

// Finds a 4-byte key as a reader does: down the index pages (6-byte header,
// key and page number), then along the leaf (8-byte header, key and value).
bool FindLong(const Tree& tree, std::int32_t key, std::uint32_t& value) {
    unsigned page = tree.root;
    for (unsigned level = 1; level < tree.levels; ++level) {
        const std::size_t at = tree.Page(page);
        page = U16(tree.data, at + 4);
        for (unsigned i = 0; i < U16(tree.data, at + 2); ++i) {
            if (static_cast<std::int32_t>(U32(tree.data, at + 6 + i * 6)) > key) break;
            page = U16(tree.data, at + 6 + i * 6 + 4);
        }
    }
    const std::size_t at = tree.Page(page);
    for (unsigned i = 0; i < U16(tree.data, at + 2); ++i) {
        if (static_cast<std::int32_t>(U32(tree.data, at + 8 + i * 8)) != key) continue;
        value = U32(tree.data, at + 8 + i * 8 + 4);
        return true;
    }
    return false;
}

TEST(WinHelpBTree, GrowsIndexLevelsAndStaysSearchable) {
    // 64-byte pages: 7 entries a leaf, 10 children an index page, so each
    // count steps across a change in the number of levels.
    const struct {
        int count;
        unsigned levels;
    } cases[] = {{7, 1}, {8, 2}, {70, 2}, {71, 3}, {701, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<BTreeEntry> entries(static_cast<std::size_t>(c.count));
        for (int i = 0; i < c.count; ++i) {
            PutU32(entries[i].key, static_cast<std::uint32_t>(i * 7 - 300));
            PutU32(entries[i].value, static_cast<std::uint32_t>(1000 + i));
        }
        const Tree tree = ReadTree(BuildBTree({0x0002, 64, "L4"}, entries), 0x0002, "L4");
        EXPECT_EQ(tree.levels, c.levels);
        EXPECT_EQ(tree.entries, static_cast<std::uint32_t>(c.count));
        for (int i = 0; i < c.count; ++i) {
            std::uint32_t value = 0;
            ASSERT_TRUE(FindLong(tree, i * 7 - 300, value)) << i;
            EXPECT_EQ(value, static_cast<std::uint32_t>(1000 + i));
        }
        std::uint32_t value;
        EXPECT_FALSE(FindLong(tree, -301, value));
        EXPECT_FALSE(FindLong(tree, 2, value));  // between two keys

        // The leaves, linked both ways, hold every entry once and in order,
        // and each says how much of its page is unused.
        unsigned page = 0, previous = 0xFFFF, seen = 0;
        while (page != 0xFFFF && seen <= entries.size()) {
            const std::size_t at = tree.Page(page);
            const unsigned n = U16(tree.data, at + 2);
            EXPECT_EQ(U16(tree.data, at), 64u - 8 - n * 8);
            EXPECT_EQ(U16(tree.data, at + 4), previous);
            for (unsigned i = 0; i < n; ++i, ++seen)
                EXPECT_EQ(U32(tree.data, at + 8 + i * 8 + 4), 1000u + seen);
            previous = page;
            page = U16(tree.data, at + 6);
        }
        EXPECT_EQ(seen, entries.size());
    }
}

// The viewer hashes the ids it is asked for itself, so the values must be
// the format's, not merely consistent between |CONTEXT and the jumps.
TEST(WinHelpEncoding, ContextHashHasTheFormatsValues) {
    EXPECT_EQ(ContextHash("a"), 17u);
    EXPECT_EQ(ContextHash("Ab"), 17u * 43 + 18);
    EXPECT_EQ(ContextHash("0_.9"), ((10u * 43 + 13) * 43 + 12) * 43 + 9);
    for (const char* bad : {"", "two words", "a-b", "caf\xe9"}) {
        EXPECT_FALSE(IsValidContextId(bad)) << bad;
        EXPECT_THROW(ContextHash(bad), FormatError) << bad;
    }
}

// --- Whole help files ------------------------------------------------------

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

unsigned CompressedUShort(const Bytes& d, std::size_t& at) {
    const unsigned low = d.at(at++);
    return low % 2 == 0 ? low / 2 : low / 2 + 128u * d.at(at++);
}
std::uint32_t CompressedULong(const Bytes& d, std::size_t& at) {
    const std::uint32_t low = U16(d, at);
    at += 2;
    if (low % 2 == 0) return low / 2;
    at += 2;
    return low / 2 + 32768u * U16(d, at - 2);
}

struct ReadTopic {
    std::string title;
    std::vector<std::string> paragraphs;  // text with jumps as [text|hash]
    std::uint32_t offset;                 // TOPICOFFSET of its header
};

class HelpReader {
public:
    explicit HelpReader(const Bytes& file) : file_(file) {
        EXPECT_EQ(U32(file, 0), 0x00035F3Fu);
        EXPECT_EQ(U32(file, 8), 0xFFFFFFFFu);  // no free list
        EXPECT_EQ(U32(file, 12), file.size());
        const std::size_t directory = U32(file, 4);
        EXPECT_EQ(file.at(directory + 8), 4);
        const Tree tree = ReadTree(InternalFile(directory), 0x0402, "z4");
        EXPECT_EQ(tree.pageSize, 1024u);
        EXPECT_EQ(tree.levels, 1u);
        std::size_t at = tree.Page(0) + 8;
        std::string last;
        for (unsigned i = 0; i < U16(tree.data, tree.Page(0) + 2); ++i) {
            const std::string name = StringZ(tree.data, at);
            EXPECT_LT(last, name);  // byte-wise order, or the viewer's search misses
            last = name;
            at += name.size() + 1;
            offsets_[name] = U32(tree.data, at);
            at += 4;
        }
    }

    Bytes File(const std::string& name) const {
        EXPECT_TRUE(offsets_.count(name)) << name;
        return offsets_.count(name) ? InternalFile(offsets_.at(name)) : Bytes();
    }

    // Walks every record from the first, following the next-record links;
    // a record's position is 12 + block * 16384 + its place in the block.
    std::vector<ReadTopic> Topics() const {
        const Bytes topic = File("|TOPIC");
        EXPECT_EQ(topic.size() % 4096, 0u);
        std::vector<Bytes> blocks;
        for (std::size_t at = 0; at < topic.size(); at += 4096)
            blocks.push_back(Expand(Slice(topic, at + 12, 4096 - 12)));

        std::vector<ReadTopic> topics;
        std::uint32_t position = 12, previous = 0xFFFFFFFF, characters = 0;
        std::uint32_t nextHeader = 12;
        unsigned block = 0;
        while (position != 0xFFFFFFFF) {
            const unsigned linkBlock = (position - 12) / 16384;
            const std::size_t at = (position - 12) % 16384;
            if (at == 0 || linkBlock != block) {
                // Each block says where its first record is and which came last.
                EXPECT_EQ(U32(topic, linkBlock * 4096 + 4), position);
                EXPECT_EQ(U32(topic, linkBlock * 4096), previous);
                characters = 0;  // an offset counts characters within its block
            }
            block = linkBlock;
            const Bytes& data = blocks.at(block);
            const std::uint32_t length2 = U32(data, at + 4);
            const std::uint32_t length1 = U32(data, at + 16);
            EXPECT_EQ(U32(data, at), length1 + length2);
            EXPECT_EQ(U32(data, at + 8), previous);
            const Bytes data1 = Slice(data, at + 21, length1 - 21);
            const Bytes data2 = Slice(data, at + length1, length2);
            if (data.at(at + 20) == 2) {
                // A topic header: its number, and where the next topic's header is.
                EXPECT_EQ(position, nextHeader);
                nextHeader = U32(data1, 24);
                if (U32(data1, 12) != 0xFFFFFFFF) {  // not the closing record
                    EXPECT_EQ(U32(data1, 12), topics.size());
                    topics.push_back({StringZ(data2, 0), {}, block * 32768 + characters});
                }
            } else {
                EXPECT_EQ(data.at(at + 20), 0x20);
                if (topics.empty()) return topics;
                topics.back().paragraphs.push_back(Paragraph(data1, data2));
                characters += length2;
            }
            previous = position;
            position = U32(data, at + 12);
        }
        return topics;
    }

private:
    Bytes InternalFile(std::size_t at) const {
        EXPECT_EQ(U32(file_, at), U32(file_, at + 4) + 9);  // reserved, used
        return Slice(file_, at + 9, U32(file_, at + 4));
    }

    // A display record: sizes, paragraph settings, then strings and
    // formatting commands in turn.
    static std::string Paragraph(const Bytes& data1, const Bytes& data2) {
        std::size_t at = 0;
        EXPECT_EQ(CompressedULong(data1, at), data2.size());
        EXPECT_EQ(CompressedUShort(data1, at), data2.size());
        at += 4;                             // two bytes, paragraph id
        EXPECT_EQ(U16(data1, at), 0x0002u);  // spacing above follows, nothing else
        at += 2;
        at += (data1.at(at) & 1) ? 2 : 1;
        std::string text;
        std::size_t string = 0;
        for (;;) {
            const std::string piece = StringZ(data2, string);
            string += piece.size() + 1;
            text += piece;
            const unsigned command = data1.at(at++);
            if (command == 0x80) {  // font change
                at += 2;
            } else if (command == 0xE3) {  // jump: hash, shown text, end of hotspot
                const std::string shown = StringZ(data2, string);
                text += "[" + shown + "|" + std::to_string(U32(data1, at)) + "]";
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

    const Bytes& file_;
    std::map<std::string, std::uint32_t> offsets_;
};

HelpDocument SampleDocument(int extraTopics) {
    HelpDocument document{"Sample Help", "(C) Sample", "second", {}};
    document.topics.push_back({"first", "First Topic", {}});
    document.topics.back().body.push_back(
        {ParagraphStyle::Body, {{"See ", ""}, {"the second topic", "Second"}, {".", ""}}});
    document.topics.push_back({"second", "Second Topic", {}});
    document.topics.back().body.push_back({ParagraphStyle::Heading, {{"A heading", ""}}});
    for (int t = 0; t < extraTopics; ++t) {
        document.topics.push_back({"topic_" + std::to_string(t), "Topic " + std::to_string(t), {}});
        for (int p = 0; p < 3; ++p)
            document.topics.back().body.push_back(
                {ParagraphStyle::Body, {{std::string(300 + t, 'a' + (t + p) % 26), ""}}});
    }
    return document;
}

TEST(WinHelpFile, SmallFileReadsBackWithItsSystemRecords) {
    const Bytes file = BuildHelpFile(SampleDocument(0));
    const HelpReader reader(file);
    const std::vector<ReadTopic> topics = reader.Topics();
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].title, "First Topic");
    const std::vector<std::string> first = {
        "First Topic", "See [the second topic|" + std::to_string(ContextHash("second")) + "]."};
    EXPECT_EQ(topics[0].paragraphs, first);
    EXPECT_EQ(topics[1].paragraphs, std::vector<std::string>({"Second Topic", "A heading"}));

    // |SYSTEM: the 3.1 header with LZ77 4 KB topic blocks, then the title,
    // copyright and contents records; the contents record names .contents.
    const Bytes system = reader.File("|SYSTEM");
    EXPECT_EQ(U16(system, 0), 0x036Cu);
    EXPECT_EQ(U16(system, 2), 21u);
    EXPECT_EQ(U16(system, 4), 1u);
    EXPECT_EQ(U16(system, 10), 4u);
    std::map<unsigned, Bytes> records;
    std::size_t at = 12;
    for (; at + 4 <= system.size(); at += 4 + U16(system, at + 2))
        records[U16(system, at)] = Slice(system, at + 4, U16(system, at + 2));
    EXPECT_EQ(at, system.size());
    EXPECT_EQ(records[1], Bytes(std::begin("Sample Help"), std::end("Sample Help")));
    EXPECT_EQ(records[2], Bytes(std::begin("(C) Sample"), std::end("(C) Sample")));
    ASSERT_EQ(records[3].size(), 4u);
    EXPECT_EQ(U32(records[3], 0), topics[1].offset);

    const Bytes font = reader.File("|FONT");  // one face, one descriptor a style
    EXPECT_EQ(U16(font, 0), 1u);
    EXPECT_EQ(U16(font, 2), 3u);
    EXPECT_EQ(font.size(), U16(font, 6) + 3u * 11);
}

TEST(WinHelpFile, TopicsSpreadOverBlocksAreFoundThroughContext) {
    const HelpDocument document = SampleDocument(30);
    const Bytes file = BuildHelpFile(document);
    const HelpReader reader(file);
    const std::vector<ReadTopic> topics = reader.Topics();
    ASSERT_EQ(topics.size(), document.topics.size());
    EXPECT_GE(topics.back().offset / 32768, 2u) << "the sample should fill three blocks";
    const Tree context = ReadTree(reader.File("|CONTEXT"), 0x0002, "L4");
    EXPECT_EQ(context.entries, document.topics.size());
    for (std::size_t t = 0; t < topics.size(); ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(topics[t].title, document.topics[t].title);
        EXPECT_EQ(topics[t].paragraphs.size(), document.topics[t].body.size() + 1);
        std::uint32_t offset = 0;
        const auto hash = static_cast<std::int32_t>(ContextHash(document.topics[t].contextId));
        ASSERT_TRUE(FindLong(context, hash, offset));
        EXPECT_EQ(offset, topics[t].offset);
    }
}

TEST(WinHelpFile, RefusesDocumentsItCannotStore) {
    const std::function<void(HelpDocument&)> breaks[] = {
        [](HelpDocument& d) { d.topics[0].body[0].runs[1].jumpTarget = "missing"; },
        [](HelpDocument& d) { d.topics[1].contextId = "FIRST"; },  // ids ignore case
        [](HelpDocument& d) { d.contentsId = "nowhere"; },
        [](HelpDocument& d) {
            d.topics[0].body[0].runs = {{std::string(kTopicBlockCapacity, 'x'), ""}};
        },
        [](HelpDocument& d) { d.topics.clear(); },
    };
    for (const auto& spoil : breaks) {
        HelpDocument document = SampleDocument(0);
        spoil(document);
        EXPECT_THROW(BuildHelpFile(document), FormatError);
    }
}

// --- The text inputs ---------------------------------------------------------

struct Refusal {
    const char* source;
    const char* message;
};

void ExpectRefusals(const std::function<void(const std::string&)>& parse,
                    const std::vector<Refusal>& cases) {
    for (const Refusal& c : cases) {
        try {
            parse(c.source);
            ADD_FAILURE() << "accepted: " << c.source;
        } catch (const FormatError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(WinHelpSource, ParsesDirectivesParagraphsAndJumps) {
    const HelpDocument document = ParseTopicSource(
        "# comment\n.title  My Help \r\n.copyright (C) 1996\n.contents two\n\n"
        ".topic one The First Topic\nA paragraph\n  over two lines.\n\n\n"
        "Go to {the second|two} now.\n.heading Sub\n.topic two Second\n",
        "x.txt");
    EXPECT_EQ(document.title, "My Help");
    EXPECT_EQ(document.copyright, "(C) 1996");
    EXPECT_EQ(document.contentsId, "two");
    ASSERT_EQ(document.topics.size(), 2u);
    EXPECT_EQ(document.topics[0].body.at(2).style, ParagraphStyle::Heading);
    const Bytes file = BuildHelpFile(document);
    const std::vector<ReadTopic> topics = HelpReader(file).Topics();
    ASSERT_EQ(topics.size(), 2u);
    const std::vector<std::string> one = {
        "The First Topic", "A paragraph over two lines.",
        "Go to [the second|" + std::to_string(ContextHash("two")) + "] now.", "Sub"};
    EXPECT_EQ(topics[0].paragraphs, one);
    EXPECT_EQ(topics[1].paragraphs, std::vector<std::string>{"Second"});

    ExpectRefusals(
        [](const std::string& s) { ParseTopicSource(s, "x.txt"); },
        {
            {".title T\n.topic a A\n.bogus\n", "x.txt:3: unknown directive '.bogus'"},
            {".title T\nloose text\n", "x.txt:2: text before the first .topic"},
            {".title T\n.topic bad-id A\n", "x.txt:2: 'bad-id' is not a valid context id"},
            {".title T\n.topic a\n", "x.txt:2: .topic needs a title after its context id"},
            {".title T\n.topic a A\n\nsee {this|b\nmore\n", "x.txt:4: '{' without '}'"},
            {".title T\n.topic a A\nsee this}\n", "x.txt:3: '}' without '{'"},
            {".title T\n.topic a A\nsee {this}\n", "x.txt:3: jump without '|context_id'"},
            {".title T\n.topic a A\nsee {|b}\n", "x.txt:3: jump without text"},
            {".title T\n.topic a A\n.title U\n", "x.txt:3: .title after the first .topic"},
            {".title T\n.title U\n", "x.txt:2: .title given twice"},
            {".topic a A\n", "x.txt:2: no .title line"},
            {".title T\n", "x.txt:2: no .topic"},
            {".title T\n.topic a A\nbell\x07\n", "x.txt:3: control character in text"},
        });
}

TEST(WinHelpContents, WritesCheckedLinesWithCrLfAndRefusesBrokenOnes) {
    const HelpFileIds files = {{"main.hlp", {"intro", "usage"}}, {"notes.hlp", {"notes"}}};
    EXPECT_EQ(BuildContents(":Base Main.hlp\n:Title Main Help\n1 Book\n2 Intro=INTRO\n"
                            "2 Notes=notes@Notes.hlp>main\n1 Usage=usage  \n",
                            "c.cnt", files),
              ":Base Main.hlp\r\n:Title Main Help\r\n1 Book\r\n2 Intro=INTRO\r\n"
              "2 Notes=notes@Notes.hlp>main\r\n1 Usage=usage\r\n");

    ExpectRefusals(
        [&](const std::string& s) { BuildContents(s, "c.cnt", files); },
        {
            {"1 Intro=intro\n", "c.cnt:1: no :Base line"},
            {":Base Other.hlp\n",
             "c.cnt:1: :Base names 'Other.hlp', which is not one of the help files"},
            {":Base main.hlp\n1 Gone=gone\n", "c.cnt:2: 'main.hlp' has no topic 'gone'"},
            {"1 X=intro@notes.hlp\n:Base main.hlp\n", "c.cnt:1: 'notes.hlp' has no topic 'intro'"},
            {":Base main.hlp\n1 X=intro@x.hlp\n", "c.cnt:2: 'x.hlp' is not one of the help files"},
            {":Base main.hlp\n1 Intro=intro\n2 Under=usage\n",
             "c.cnt:3: entry at level 2 has no heading at level 1"},
            {":Base main.hlp\n1 =intro\n", "c.cnt:2: topic entry without a title"},
            {":Base main.hlp\n:Bogus x\n", "c.cnt:2: unknown command ':Bogus'"},
            {":Base main.hlp\nfree text\n",
             "c.cnt:2: line is neither a :command nor a numbered entry"},
        });
}

}  // namespace
}  // namespace winhelp

// The help file writer, read back by a small reader written from the
// format's description: the B+ trees, the internal file system, |SYSTEM,
// the topic blocks and |CONTEXT; and the two text inputs of the tool.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/winhelp/contents.h"
#include "tools/winhelp/hlpwriter.h"
#include "tools/winhelp/topicsource.h"

namespace winhelp {
namespace {

unsigned U16(const Bytes& data, std::size_t at) {
  return data.at(at) | (data.at(at + 1) << 8);
}

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
  return Bytes(data.begin() + at, data.begin() + at + size);
}

// --- B+ tree reading -------------------------------------------------------

struct Tree {
  unsigned pageSize, root, levels, pages;
  std::uint32_t entries;
  Bytes data;
  std::size_t Page(unsigned number) const {
    return kBTreeHeaderSize + static_cast<std::size_t>(number) * pageSize;
  }
};

Tree ReadTree(const Bytes& data) {
  EXPECT_EQ(U16(data, 0), kBTreeMagic);
  EXPECT_EQ(U16(data, 22), 0u);
  EXPECT_EQ(U16(data, 28), 0xFFFFu);
  Tree tree{U16(data, 4), U16(data, 26), U16(data, 32), U16(data, 30),
            U32(data, 34), data};
  EXPECT_EQ(data.size(), kBTreeHeaderSize + tree.pages * tree.pageSize);
  return tree;
}

// Finds a 4-byte key the way a reader does: down the index pages, then
// through the leaf.  Entries are 4-byte keys with 4-byte values.
bool FindLong(const Tree& tree, std::int32_t key, std::uint32_t& value) {
  unsigned page = tree.root;
  for (unsigned level = 1; level < tree.levels; ++level) {
    const std::size_t at = tree.Page(page);
    unsigned next = U16(tree.data, at + 4);
    for (unsigned i = 0; i < U16(tree.data, at + 2); ++i) {
      const std::size_t entry = at + kIndexHeaderSize + i * 6;
      if (static_cast<std::int32_t>(U32(tree.data, entry)) > key) break;
      next = U16(tree.data, entry + 4);
    }
    page = next;
  }
  const std::size_t at = tree.Page(page);
  for (unsigned i = 0; i < U16(tree.data, at + 2); ++i) {
    const std::size_t entry = at + kLeafHeaderSize + i * 8;
    if (static_cast<std::int32_t>(U32(tree.data, entry)) == key) {
      value = U32(tree.data, entry + 4);
      return true;
    }
  }
  return false;
}

std::vector<BTreeEntry> LongEntries(int count) {
  std::vector<BTreeEntry> entries;
  for (int i = 0; i < count; ++i) {
    BTreeEntry entry;
    PutU32(entry.key, static_cast<std::uint32_t>(i * 7 - 300));
    PutU32(entry.value, static_cast<std::uint32_t>(1000 + i));
    entries.push_back(entry);
  }
  return entries;
}

TEST(WinHelpBTree, OnePageHoldsSmallTree) {
  std::vector<BTreeEntry> entries;
  for (const char* name : {"|CONTEXT", "|SYSTEM"}) {
    BTreeEntry entry;
    PutStringZ(entry.key, name);
    PutU32(entry.value, 0x1234);
    entries.push_back(entry);
  }
  const Tree tree = ReadTree(BuildBTree({0x0402, 1024, "z4"}, entries));
  EXPECT_EQ(U16(tree.data, 2), 0x0402u);
  EXPECT_EQ(StringZ(tree.data, 6), "z4");
  EXPECT_EQ(tree.pageSize, 1024u);
  EXPECT_EQ(tree.pages, 1u);
  EXPECT_EQ(tree.levels, 1u);
  EXPECT_EQ(tree.root, 0u);
  EXPECT_EQ(tree.entries, 2u);
  const std::size_t page = tree.Page(0);
  EXPECT_EQ(U16(tree.data, page), 1024u - 8 - (9 + 4) - (8 + 4));  // unused
  EXPECT_EQ(U16(tree.data, page + 2), 2u);
  EXPECT_EQ(U16(tree.data, page + 4), 0xFFFFu);
  EXPECT_EQ(U16(tree.data, page + 6), 0xFFFFu);
  EXPECT_EQ(StringZ(tree.data, page + 8), "|CONTEXT");
  EXPECT_EQ(U32(tree.data, page + 17), 0x1234u);
  EXPECT_EQ(StringZ(tree.data, page + 21), "|SYSTEM");
}

TEST(WinHelpBTree, EmptyTreeIsOneEmptyLeaf) {
  const Tree tree = ReadTree(BuildBTree({0x0002, 2048, "L4"}, {}));
  EXPECT_EQ(tree.pages, 1u);
  EXPECT_EQ(tree.entries, 0u);
  EXPECT_EQ(U16(tree.data, tree.Page(0) + 2), 0u);
}

TEST(WinHelpBTree, ManyEntriesGrowIndexLevelsAndStaySearchable) {
  // 64-byte pages: 7 entries a leaf, 10 children an index page.
  for (int count : {7, 8, 70, 71, 701}) {
    const std::vector<BTreeEntry> entries = LongEntries(count);
    const Tree tree = ReadTree(BuildBTree({0x0002, 64, "L4"}, entries));
    EXPECT_EQ(tree.entries, static_cast<std::uint32_t>(count));
    for (int i = 0; i < count; ++i) {
      std::uint32_t value = 0;
      ASSERT_TRUE(FindLong(tree, i * 7 - 300, value)) << count << " " << i;
      EXPECT_EQ(value, static_cast<std::uint32_t>(1000 + i));
    }
    std::uint32_t value;
    EXPECT_FALSE(FindLong(tree, -301, value));
    EXPECT_FALSE(FindLong(tree, 2, value));  // between two keys

    // The leaves, followed from the first by their next links, hold every
    // entry once and in order; the back links mirror them.
    unsigned page = 0, previous = 0xFFFF, seen = 0;
    while (page != 0xFFFF) {
      const std::size_t at = tree.Page(page);
      EXPECT_EQ(U16(tree.data, at + 4), previous);
      const unsigned n = U16(tree.data, at + 2);
      EXPECT_EQ(U16(tree.data, at), 64u - 8 - n * 8);
      for (unsigned i = 0; i < n; ++i, ++seen)
        EXPECT_EQ(U32(tree.data, at + 8 + i * 8 + 4), 1000u + seen);
      previous = page;
      page = U16(tree.data, at + 6);
    }
    EXPECT_EQ(seen, static_cast<unsigned>(count));
    const unsigned levels = count == 7 ? 1 : count <= 70 ? 2 : count == 71 ? 3 : 4;
    EXPECT_EQ(tree.levels, levels) << count;
  }
}

TEST(WinHelpBTree, RefusesWhatCannotBeStored) {
  EXPECT_THROW(BuildBTree({0x0002, 12, "L4"}, LongEntries(2)), FormatError);
  EXPECT_THROW(BuildBTree({0x0002, 2048, "0123456789abcdef"}, {}),
               FormatError);
}

// --- Small encodings -------------------------------------------------------

TEST(WinHelpEncoding, CompressedIntegersDecodeAsDescribed) {
  for (unsigned value : {0u, 1u, 127u, 128u, 300u, 32767u}) {
    Bytes out;
    PutCompressedUShort(out, value);
    const unsigned decoded =
        out[0] % 2 == 0 ? out[0] / 2u : out[0] / 2u + 128u * out.at(1);
    EXPECT_EQ(decoded, value);
    EXPECT_EQ(out.size(), value < 128 ? 1u : 2u);
  }
  for (int value : {-16384, -65, -64, 0, 63, 64, 16383}) {
    Bytes out;
    PutCompressedShort(out, value);
    const int decoded = out[0] % 2 == 0
                            ? out[0] / 2 - 64
                            : out[0] / 2 + 128 * out.at(1) - 16384;
    EXPECT_EQ(decoded, value);
    EXPECT_EQ(out.size(), value >= -64 && value < 64 ? 1u : 2u);
  }
  for (std::uint32_t value : {0u, 32767u, 32768u, 100000u, 0x7FFFFFFFu}) {
    Bytes out;
    PutCompressedULong(out, value);
    const std::uint32_t first = U16(out, 0);
    const std::uint32_t decoded =
        first % 2 == 0 ? first / 2 : first / 2 + 32768u * U16(out, 2);
    EXPECT_EQ(decoded, value);
  }
  Bytes out;
  EXPECT_THROW(PutCompressedUShort(out, 32768), FormatError);
  EXPECT_THROW(PutCompressedShort(out, 16384), FormatError);
  EXPECT_THROW(PutCompressedShort(out, -16385), FormatError);
  EXPECT_THROW(PutCompressedULong(out, 0x80000000u), FormatError);
}

TEST(WinHelpEncoding, ContextHashIgnoresCaseAndRefusesOtherCharacters) {
  EXPECT_EQ(ContextHash("a"), 17u);
  EXPECT_EQ(ContextHash("Ab"), 17u * 43 + 18);
  EXPECT_EQ(ContextHash("0_."), (10u * 43 + 13) * 43 + 12);
  EXPECT_EQ(ContextHash("Quorvik_Contents"), ContextHash("quorvik_contents"));
  EXPECT_NE(ContextHash("topic1"), ContextHash("topic2"));
  // Long ids wrap around in 32 bits.
  std::uint32_t expected = 0;
  for (int i = 0; i < 40; ++i) expected = expected * 43 + 0x2A;
  EXPECT_EQ(ContextHash(std::string(40, 'z')), expected);
  for (const char* bad : {"", "two words", "a-b", "caf\xe9"}) {
    EXPECT_FALSE(IsValidContextId(bad)) << bad;
    EXPECT_THROW(ContextHash(bad), FormatError) << bad;
  }
}

TEST(WinHelpEncoding, SystemFileHasHeaderAndRecords) {
  const Bytes system = BuildSystemFile("My Help", "(C) Me", 0x00018005);
  EXPECT_EQ(U16(system, 0), 0x036Cu);
  EXPECT_EQ(U16(system, 2), 21u);
  EXPECT_EQ(U16(system, 4), 1u);
  EXPECT_EQ(U16(system, 10), kSystemFlagsLz77);
  std::size_t at = 12;
  EXPECT_EQ(U16(system, at), 1u);
  EXPECT_EQ(U16(system, at + 2), 8u);
  EXPECT_EQ(StringZ(system, at + 4), "My Help");
  at += 4 + 8;
  EXPECT_EQ(U16(system, at), 2u);
  EXPECT_EQ(U16(system, at + 2), 7u);
  EXPECT_EQ(StringZ(system, at + 4), "(C) Me");
  at += 4 + 7;
  EXPECT_EQ(U16(system, at), 3u);
  EXPECT_EQ(U16(system, at + 2), 4u);
  EXPECT_EQ(U32(system, at + 4), 0x00018005u);
  EXPECT_EQ(system.size(), at + 8);
}

TEST(WinHelpEncoding, LiteralGroupsCarryEightBytesAfterAZeroFlag) {
  Bytes data;
  for (int i = 1; i <= 17; ++i) data.push_back(static_cast<std::uint8_t>(i));
  const Bytes encoded = EncodeLiterals(data);
  ASSERT_EQ(encoded.size(), 17u + 3);
  EXPECT_EQ(encoded[0], 0);
  EXPECT_EQ(encoded[9], 0);
  EXPECT_EQ(encoded[18], 0);
  EXPECT_EQ(encoded[1], 1);
  EXPECT_EQ(encoded[17], 16);
  EXPECT_EQ(encoded[19], 17);
  EXPECT_TRUE(EncodeLiterals({}).empty());
}

// --- Whole help files ------------------------------------------------------

// Expands an LZ77 block as the format describes it: a flag byte, low bit
// first; a clear bit is a literal, a set bit a 12-bit distance and a 4-bit
// length.  The zero fill after the data expands to zeros.
Bytes Expand(const Bytes& in) {
  Bytes out;
  std::size_t at = 0;
  while (at < in.size()) {
    const unsigned flags = in[at++];
    for (int bit = 0; bit < 8 && at < in.size(); ++bit) {
      if (!(flags & (1u << bit))) {
        out.push_back(in[at++]);
        continue;
      }
      const unsigned word = U16(in, at);
      at += 2;
      const std::size_t from = out.size() - (word & 0xFFF) - 1;
      for (unsigned i = 0; i < (word >> 12) + 3u; ++i) out.push_back(out[from + i]);
    }
  }
  return out;
}

// The reader takes its numbers from the format, not from the writer.
constexpr unsigned kBlockSize = 4096;
constexpr unsigned kPositionStride = 16384;  // expanded bytes of a block
constexpr unsigned kOffsetStride = 32768;    // 15 bits of characters

struct ReadTopic {
  std::string title;
  std::vector<std::string> paragraphs;  // text with jumps as [text|hash]
  std::uint32_t offset;                 // TOPICOFFSET of its header
};

class HelpReader {
 public:
  explicit HelpReader(const Bytes& file) : file_(file) {
    EXPECT_EQ(U32(file, 0), kHelpMagic);
    EXPECT_EQ(U32(file, 8), 0xFFFFFFFFu);
    EXPECT_EQ(U32(file, 12), file.size());
    const std::size_t directory = U32(file, 4);
    EXPECT_EQ(file.at(directory + 8), 4);
    const Tree tree = ReadTree(InternalFile(directory));
    EXPECT_EQ(tree.levels, 1u);
    const std::size_t page = tree.Page(0);
    std::size_t at = page + kLeafHeaderSize;
    std::string last;
    for (unsigned i = 0; i < U16(tree.data, page + 2); ++i) {
      const std::string name = StringZ(tree.data, at);
      EXPECT_LT(last, name);
      last = name;
      at += name.size() + 1;
      offsets_[name] = U32(tree.data, at);
      at += 4;
    }
  }

  bool Has(const std::string& name) const { return offsets_.count(name) > 0; }
  Bytes File(const std::string& name) const {
    return InternalFile(offsets_.at(name));
  }

  // Walks every record from the first, following the next-record links.
  std::vector<ReadTopic> Topics() const {
    const Bytes topic = File("|TOPIC");
    EXPECT_EQ(topic.size() % kBlockSize, 0u);
    std::vector<Bytes> blocks;
    for (std::size_t at = 0; at < topic.size(); at += kBlockSize)
      blocks.push_back(Expand(Slice(topic, at + 12, kBlockSize - 12)));

    std::vector<ReadTopic> topics;
    std::uint32_t position = 12, previous = 0xFFFFFFFF;
    unsigned block = 0;
    std::uint32_t characters = 0;
    while (position != 0xFFFFFFFF) {
      const unsigned linkBlock = (position - 12) / kPositionStride;
      const std::size_t at = (position - 12) % kPositionStride;
      if (linkBlock != block) characters = 0;
      if (at == 0 || linkBlock != block) {
        // Each block says where its first record is and which came last.
        EXPECT_EQ(U32(topic, linkBlock * kBlockSize + 4), position);
        EXPECT_EQ(U32(topic, linkBlock * kBlockSize), previous);
      }
      block = linkBlock;
      const Bytes& data = blocks.at(block);
      const std::uint32_t size = U32(data, at);
      const std::uint32_t length2 = U32(data, at + 4);
      EXPECT_EQ(U32(data, at + 8), previous);
      const std::uint32_t length1 = U32(data, at + 16);
      const unsigned type = data.at(at + 20);
      EXPECT_EQ(size, length1 + length2);
      EXPECT_LE(at + size, kTopicBlockCapacity);
      const Bytes data1 = Slice(data, at + 21, length1 - 21);
      const Bytes data2 = Slice(data, at + length1, length2);
      if (type == 2) {
        if (U32(data1, 12) != 0xFFFFFFFF) {  // not the closing record
          EXPECT_EQ(U32(data1, 12), topics.size());
          topics.push_back({StringZ(data2, 0), {},
                            block * kOffsetStride + characters});
        }
      } else {
        EXPECT_EQ(type, 0x20u);
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
    const std::uint32_t reserved = U32(file_, at);
    const std::uint32_t used = U32(file_, at + 4);
    EXPECT_EQ(reserved, used + kFileHeaderSize);
    return Slice(file_, at + kFileHeaderSize, used);
  }

  // Text of a display record: strings and formatting commands in turn.
  static std::string Paragraph(const Bytes& data1, const Bytes& data2) {
    std::size_t at = (data1.at(0) & 1) ? 4 : 2;    // text size
    at += (data1.at(at) & 1) ? 2 : 1;               // text length
    at += 4;                                        // two bytes, paragraph id
    const unsigned bits = U16(data1, at);
    at += 2;
    EXPECT_EQ(bits, 0x0002u);                       // spacing above only
    at += (data1.at(at) & 1) ? 2 : 1;
    std::string text;
    std::size_t string = 0;
    for (;;) {
      const std::string piece = StringZ(data2, string);
      string += piece.size() + 1;
      text += piece;
      const unsigned command = data1.at(at++);
      if (command == 0x80) {
        at += 2;
      } else if (command == 0xE3) {
        text += "[" + StringZ(data2, string) + "|" +
                std::to_string(U32(data1, at)) + "]";
        string += StringZ(data2, string).size() + 1;
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
  HelpDocument document;
  document.title = "Sample Help";
  document.copyright = "(C) Sample";
  document.contentsId = "second";
  document.topics.push_back({"first", "First Topic", {}});
  Paragraph jump;
  jump.runs = {{"See ", ""}, {"the second topic", "Second"}, {".", ""}};
  document.topics.back().body.push_back(jump);
  document.topics.push_back({"second", "Second Topic", {}});
  Paragraph heading;
  heading.style = ParagraphStyle::Heading;
  heading.runs = {{"A heading", ""}};
  document.topics.back().body.push_back(heading);
  for (int t = 0; t < extraTopics; ++t) {
    document.topics.push_back(
        {"topic_" + std::to_string(t), "Topic " + std::to_string(t), {}});
    for (int p = 0; p < 3; ++p) {
      Paragraph paragraph;
      paragraph.runs = {{std::string(300 + t, 'a' + (t + p) % 26), ""}};
      document.topics.back().body.push_back(paragraph);
    }
  }
  return document;
}

TEST(WinHelpFile, SmallFileReadsBack) {
  const HelpDocument document = SampleDocument(0);
  const Bytes file = BuildHelpFile(document);
  const HelpReader reader(file);
  for (const char* name : {"|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT"})
    EXPECT_TRUE(reader.Has(name)) << name;

  const std::vector<ReadTopic> topics = reader.Topics();
  ASSERT_EQ(topics.size(), 2u);
  EXPECT_EQ(topics[0].title, "First Topic");
  ASSERT_EQ(topics[0].paragraphs.size(), 2u);
  EXPECT_EQ(topics[0].paragraphs[0], "First Topic");
  EXPECT_EQ(topics[0].paragraphs[1], "See [the second topic|" +
                                         std::to_string(ContextHash("second")) +
                                         "].");
  EXPECT_EQ(topics[1].paragraphs.at(1), "A heading");

  // The contents record names the topic given by .contents.
  const Bytes system = reader.File("|SYSTEM");
  EXPECT_EQ(StringZ(system, 16), "Sample Help");
  EXPECT_EQ(U32(system, system.size() - 4), topics[1].offset);

  const Bytes font = reader.File("|FONT");
  EXPECT_EQ(U16(font, 0), 1u);
  EXPECT_EQ(U16(font, 2), 3u);
  EXPECT_EQ(font.size(), U16(font, 6) + 3u * 11);
}

TEST(WinHelpFile, TopicsSpreadOverBlocksAreFoundThroughContext) {
  const HelpDocument document = SampleDocument(30);
  const Bytes file = BuildHelpFile(document);
  const HelpReader reader(file);
  EXPECT_GE(reader.File("|TOPIC").size(), 3u * kBlockSize);

  const std::vector<ReadTopic> topics = reader.Topics();
  ASSERT_EQ(topics.size(), document.topics.size());
  const Tree context = ReadTree(reader.File("|CONTEXT"));
  EXPECT_EQ(context.entries, document.topics.size());
  for (std::size_t t = 0; t < topics.size(); ++t) {
    EXPECT_EQ(topics[t].title, document.topics[t].title);
    EXPECT_EQ(topics[t].paragraphs.size(), document.topics[t].body.size() + 1);
    std::uint32_t offset = 0;
    ASSERT_TRUE(FindLong(context,
                         static_cast<std::int32_t>(
                             ContextHash(document.topics[t].contextId)),
                         offset));
    EXPECT_EQ(offset, topics[t].offset) << t;
  }
  EXPECT_GT(topics.back().offset / kOffsetStride, 1u);
}

TEST(WinHelpFile, RefusesDocumentsItCannotStore) {
  HelpDocument document = SampleDocument(0);
  document.topics[0].body[0].runs[1].jumpTarget = "missing";
  EXPECT_THROW(BuildHelpFile(document), FormatError);

  document = SampleDocument(0);
  document.topics[1].contextId = "FIRST";  // ids do not differ by case
  EXPECT_THROW(BuildHelpFile(document), FormatError);

  document = SampleDocument(0);
  document.contentsId = "nowhere";
  EXPECT_THROW(BuildHelpFile(document), FormatError);

  document = SampleDocument(0);
  document.topics[0].body[0].runs = {{std::string(kTopicBlockCapacity, 'x'), ""}};
  EXPECT_THROW(BuildHelpFile(document), FormatError);

  EXPECT_THROW(BuildHelpFile(HelpDocument{}), FormatError);
}

TEST(WinHelpFile, FileSystemRefusesTwoFilesOfOneName) {
  HelpFileBuilder builder;
  builder.AddFile("|SYSTEM", {1});
  EXPECT_THROW(builder.AddFile("|SYSTEM", {2}), FormatError);
}

// --- Topic source ----------------------------------------------------------

TEST(WinHelpSource, ParsesDirectivesParagraphsAndJumps) {
  const HelpDocument document = ParseTopicSource(
      "# comment\n"
      ".title  My Help \r\n"
      ".copyright (C) 1996\n"
      ".contents two\n"
      "\n"
      ".topic one The First Topic\n"
      "A paragraph\n"
      "  over two lines.\n"
      "\n"
      "\n"
      "Go to {the second|two} now.\n"
      ".heading Sub\n"
      ".topic two Second\n",
      "x.txt");
  EXPECT_EQ(document.title, "My Help");
  EXPECT_EQ(document.copyright, "(C) 1996");
  EXPECT_EQ(document.contentsId, "two");
  ASSERT_EQ(document.topics.size(), 2u);
  const Topic& one = document.topics[0];
  EXPECT_EQ(one.contextId, "one");
  EXPECT_EQ(one.title, "The First Topic");
  ASSERT_EQ(one.body.size(), 3u);
  ASSERT_EQ(one.body[0].runs.size(), 1u);
  EXPECT_EQ(one.body[0].runs[0].text, "A paragraph over two lines.");
  ASSERT_EQ(one.body[1].runs.size(), 3u);
  EXPECT_EQ(one.body[1].runs[1].text, "the second");
  EXPECT_EQ(one.body[1].runs[1].jumpTarget, "two");
  EXPECT_EQ(one.body[1].runs[2].text, " now.");
  EXPECT_EQ(one.body[2].style, ParagraphStyle::Heading);
  EXPECT_TRUE(document.topics[1].body.empty());
}

TEST(WinHelpSource, ReportsTheLineOfEachMistake) {
  const struct {
    const char* source;
    const char* message;
  } cases[] = {
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
  };
  for (const auto& c : cases) {
    try {
      ParseTopicSource(c.source, "x.txt");
      ADD_FAILURE() << "accepted: " << c.source;
    } catch (const FormatError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

// --- Contents file ---------------------------------------------------------

const HelpFileIds kHelpFiles = {{"main.hlp", {"intro", "usage"}},
                                {"notes.hlp", {"notes"}}};

TEST(WinHelpContents, WritesCheckedLinesWithCrLf) {
  const std::string contents = BuildContents(
      ":Base Main.hlp\n:Title Main Help\n1 Book\n2 Intro=INTRO\n"
      "2 Notes=notes@Notes.hlp>main\n1 Usage=usage  \n",
      "c.cnt", kHelpFiles);
  EXPECT_EQ(contents,
            ":Base Main.hlp\r\n:Title Main Help\r\n1 Book\r\n2 Intro=INTRO\r\n"
            "2 Notes=notes@Notes.hlp>main\r\n1 Usage=usage\r\n");
}

TEST(WinHelpContents, RefusesBrokenEntries) {
  const struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"1 Intro=intro\n", "c.cnt:1: no :Base line"},
      {":Base Other.hlp\n", "c.cnt:1: :Base names 'Other.hlp', which is not one of the help files"},
      {":Base main.hlp\n1 Gone=gone\n", "c.cnt:2: 'main.hlp' has no topic 'gone'"},
      {"1 X=intro@notes.hlp\n:Base main.hlp\n", "c.cnt:1: 'notes.hlp' has no topic 'intro'"},
      {":Base main.hlp\n1 X=intro@x.hlp\n", "c.cnt:2: 'x.hlp' is not one of the help files"},
      {":Base main.hlp\n2 Deep=intro\n", "c.cnt:2: entry at level 2 has no heading at level 1"},
      {":Base main.hlp\n1 Intro=intro\n2 Under=usage\n",
       "c.cnt:3: entry at level 2 has no heading at level 1"},
      {":Base main.hlp\n1 =intro\n", "c.cnt:2: topic entry without a title"},
      {":Base main.hlp\n:Bogus x\n", "c.cnt:2: unknown command ':Bogus'"},
      {":Base main.hlp\nfree text\n", "c.cnt:2: line is neither a :command nor a numbered entry"},
  };
  for (const auto& c : cases) {
    try {
      BuildContents(c.source, "c.cnt", kHelpFiles);
      ADD_FAILURE() << "accepted: " << c.source;
    } catch (const FormatError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace winhelp

// Writer of Windows Help 3.1 files (.hlp): the internal file system with its
// B+-tree directory and the internal files a plain text help file needs
// (|SYSTEM, |FONT, |TOPIC, |CONTEXT).  Topic text is stored as it is, not
// compressed, in 4 KB topic blocks.
//
// The blocks are declared as LZ77 blocks and written as literals only.
// For blocks declared plain, the published descriptions of the format and
// the viewers in use disagree about how topic positions count past the
// first block; for LZ77 blocks they agree.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace winhelp {

using Bytes = std::vector<std::uint8_t>;

// Bad input (an over-long paragraph, a context id that cannot be hashed, a
// page that cannot hold one entry): the message says what and why.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void PutU8(Bytes& out, unsigned value);
void PutU16(Bytes& out, unsigned value);
void PutU32(Bytes& out, std::uint32_t value);
void PutStringZ(Bytes& out, const std::string& text);

// The variable-length integers of a topic record's paragraph data.
void PutCompressedUShort(Bytes& out, unsigned value);      // 0 .. 32767
void PutCompressedShort(Bytes& out, int value);            // -16384 .. 16383
void PutCompressedULong(Bytes& out, std::uint32_t value);  // 0 .. 2^31-1

// ---------------------------------------------------------------------------
// B+ trees.  Every tree of the file (the directory, |CONTEXT) is a header and
// fixed-size pages: leaf pages hold the entries in key order and are linked
// both ways; index pages above them guide a search to the right leaf.

struct BTreeEntry {
    Bytes key;    // as stored, e.g. a NUL-terminated name or a 4-byte hash
    Bytes value;  // stored after the key in a leaf page
};

struct BTreeLayout {
    unsigned flags;         // 0x0402 for the directory, 0x0002 otherwise
    unsigned pageSize;      // 1024 for the directory, 2048 otherwise
    std::string structure;  // at most 15 characters, e.g. "z4", "L4"
};

constexpr unsigned kBTreeMagic = 0x293B;
constexpr unsigned kBTreeHeaderSize = 38;
constexpr unsigned kLeafHeaderSize = 8;
constexpr unsigned kIndexHeaderSize = 6;

// Entries must already be in the tree's key order; the caller knows what
// that order is (names byte-wise, hashes as signed longs).
Bytes BuildBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries);

// ---------------------------------------------------------------------------
// The internal file system.

constexpr std::uint32_t kHelpMagic = 0x00035F3F;
constexpr unsigned kFileHeaderSize = 9;

class HelpFileBuilder {
public:
    // Names are unique; each file is stored once, in the order added.
    void AddFile(const std::string& name, const Bytes& content);
    Bytes Finish() const;

private:
    struct InternalFile {
        std::string name;
        Bytes content;
    };
    std::vector<InternalFile> files_;
};

// ---------------------------------------------------------------------------
// Help document model and the internal files made from it.

struct TextRun {
    std::string text;
    std::string jumpTarget;  // context id when the run is a jump hotspot
};

enum class ParagraphStyle { Body, Heading, Title };

struct Paragraph {
    ParagraphStyle style = ParagraphStyle::Body;
    std::vector<TextRun> runs;
};

struct Topic {
    std::string contextId;
    std::string title;
    std::vector<Paragraph> body;  // the title paragraph is added by the writer
};

struct HelpDocument {
    std::string title;
    std::string copyright;
    std::string contentsId;  // empty: the first topic
    std::vector<Topic> topics;
};

constexpr unsigned kSystemMagic = 0x036C;
constexpr unsigned kHelp31Minor = 21;
constexpr unsigned kSystemFlagsLz77 = 4;  // LZ77 topic blocks of 4 KB
constexpr unsigned kTopicBlockSize = 4096;
constexpr unsigned kTopicBlockHeaderSize = 12;
// A topic position counts in the expanded data of a block, which may grow
// to 16 KB: position = 12 + block * 16384 + offset in the expanded data.
constexpr unsigned kTopicPositionStride = 0x4000;
// A topic offset (the cursor-like address of a jump) keeps the block
// number above its low 15 bits, which count text characters.
constexpr unsigned kTopicOffsetStride = 0x8000;
// The topic text is stored as it is, in LZ77 groups of literals only: one
// flag byte of zero, then eight bytes.  That is how much one block holds.
constexpr unsigned kTopicBlockCapacity = (kTopicBlockSize - kTopicBlockHeaderSize) / 9 * 8;
constexpr unsigned kTopicLinkHeaderSize = 21;
constexpr unsigned kTopicHeaderSize = 28;

// The context-id hash by which |CONTEXT and jumps name a topic.
std::uint32_t ContextHash(const std::string& contextId);
bool IsValidContextId(const std::string& contextId);

// The LZ77 form of a block's data with every byte a literal.
Bytes EncodeLiterals(const Bytes& data);

// |SYSTEM: the 3.1 header, then title, copyright and contents records.
Bytes BuildSystemFile(const std::string& title, const std::string& copyright,
                      std::uint32_t contentsOffset);

// |FONT: one face and the three descriptors the paragraph styles use.
Bytes BuildFontFile();

// |TOPIC and the topic offsets of each topic's start, for |CONTEXT and
// the contents record.
struct TopicFile {
    Bytes data;
    std::vector<std::uint32_t> topicOffsets;  // one per topic
};
TopicFile BuildTopicFile(const HelpDocument& document);

// |CONTEXT: one entry per topic, keyed by the hash of its context id.
Bytes BuildContextFile(const HelpDocument& document,
                       const std::vector<std::uint32_t>& topicOffsets);

// The whole .hlp.  Throws FormatError when the document cannot be stored.
Bytes BuildHelpFile(const HelpDocument& document);

}  // namespace winhelp

#include "tools/winhelp/hlpwriter.h"

#include <algorithm>
#include <map>
#include <set>

namespace winhelp {

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
constexpr unsigned kNoPage = 0xFFFF;

void SetU16(Bytes& out, std::size_t at, unsigned value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void SetU32(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

}  // namespace

void PutU8(Bytes& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value & 0xFF)); }

void PutU16(Bytes& out, unsigned value) {
    PutU8(out, value);
    PutU8(out, value >> 8);
}

void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutStringZ(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// An even first unit holds the value alone; an odd one says that one more
// unit follows with the high part.
void PutCompressedUShort(Bytes& out, unsigned value) {
    if (value < 0x80) {
        PutU8(out, value * 2);
    } else if (value < 0x8000) {
        PutU8(out, (value & 0x7F) * 2 + 1);
        PutU8(out, value >> 7);
    } else {
        throw FormatError("value " + std::to_string(value) + " too large for a compressed short");
    }
}

void PutCompressedShort(Bytes& out, int value) {
    if (value >= -64 && value < 64) {
        PutU8(out, static_cast<unsigned>(value + 64) * 2);
    } else if (value >= -16384 && value < 16384) {
        unsigned biased = static_cast<unsigned>(value + 16384);
        PutU8(out, (biased & 0x7F) * 2 + 1);
        PutU8(out, biased >> 7);
    } else {
        throw FormatError("value " + std::to_string(value) +
                          " out of range for a compressed signed short");
    }
}

void PutCompressedULong(Bytes& out, std::uint32_t value) {
    if (value < 0x8000) {
        PutU16(out, value * 2);
    } else if (value < 0x80000000u) {
        PutU16(out, (value & 0x7FFF) * 2 + 1);
        PutU16(out, value >> 15);
    } else {
        throw FormatError("value too large for a compressed long");
    }
}

// ---------------------------------------------------------------------------

Bytes BuildBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries) {
    if (layout.structure.size() > 15) throw FormatError("B+ tree structure string too long");
    const std::size_t pageSize = layout.pageSize;
    std::vector<Bytes> pages;

    // A child of the level being built: its page and the first key below it.
    struct Child {
        const Bytes* firstKey;
        unsigned page;
    };
    std::vector<Child> level;

    std::size_t next = 0;
    do {
        Bytes page(kLeafHeaderSize, 0);
        unsigned count = 0;
        const Bytes* firstKey = nullptr;
        while (next < entries.size()) {
            const BTreeEntry& entry = entries[next];
            if (page.size() + entry.key.size() + entry.value.size() > pageSize) break;
            if (firstKey == nullptr) firstKey = &entry.key;
            Append(page, entry.key);
            Append(page, entry.value);
            ++count;
            ++next;
        }
        if (count == 0 && next < entries.size())
            throw FormatError("a B+ tree entry does not fit in one page");
        SetU16(page, 0, static_cast<unsigned>(pageSize - page.size()));
        SetU16(page, 2, count);
        page.resize(pageSize, 0);
        level.push_back({firstKey, static_cast<unsigned>(pages.size())});
        pages.push_back(std::move(page));
    } while (next < entries.size());

    const std::size_t leafCount = pages.size();
    for (std::size_t i = 0; i < leafCount; ++i) {
        SetU16(pages[i], 4, i == 0 ? kNoPage : static_cast<unsigned>(i - 1));
        SetU16(pages[i], 6, i + 1 == leafCount ? kNoPage : static_cast<unsigned>(i + 1));
    }

    // Each index page sends keys below its first entry to PreviousPage and
    // every other key to the last entry not above it.
    unsigned levels = 1;
    while (level.size() > 1) {
        std::vector<Child> upper;
        std::size_t child = 0;
        while (child < level.size()) {
            Bytes page(kIndexHeaderSize, 0);
            const Child first = level[child++];
            unsigned count = 0;
            while (child < level.size()) {
                const Bytes& key = *level[child].firstKey;
                if (page.size() + key.size() + 2 > pageSize) break;
                Append(page, key);
                PutU16(page, level[child].page);
                ++count;
                ++child;
            }
            if (count == 0 && child < level.size())
                throw FormatError("a B+ tree key does not fit in an index page");
            SetU16(page, 0, static_cast<unsigned>(pageSize - page.size()));
            SetU16(page, 2, count);
            SetU16(page, 4, first.page);
            page.resize(pageSize, 0);
            upper.push_back({first.firstKey, static_cast<unsigned>(pages.size())});
            pages.push_back(std::move(page));
        }
        level = std::move(upper);
        ++levels;
    }
    if (pages.size() > 0x7FFF) throw FormatError("B+ tree has too many pages");

    Bytes out;
    PutU16(out, kBTreeMagic);
    PutU16(out, layout.flags);
    PutU16(out, layout.pageSize);
    Bytes structure(16, 0);
    std::copy(layout.structure.begin(), layout.structure.end(), structure.begin());
    Append(out, structure);
    PutU16(out, 0);                   // must be zero
    PutU16(out, 0);                   // page splits
    PutU16(out, level.front().page);  // root
    PutU16(out, kNoPage);             // must be -1
    PutU16(out, static_cast<unsigned>(pages.size()));
    PutU16(out, levels);
    PutU32(out, static_cast<std::uint32_t>(entries.size()));
    for (const Bytes& page : pages) Append(out, page);
    return out;
}

// ---------------------------------------------------------------------------

void HelpFileBuilder::AddFile(const std::string& name, const Bytes& content) {
    for (const InternalFile& file : files_)
        if (file.name == name) throw FormatError("internal file " + name + " added twice");
    files_.push_back({name, content});
}

Bytes HelpFileBuilder::Finish() const {
    Bytes out(16, 0);
    std::map<std::string, std::uint32_t> offsets;  // byte-wise name order
    for (const InternalFile& file : files_) {
        offsets[file.name] = static_cast<std::uint32_t>(out.size());
        PutU32(out, static_cast<std::uint32_t>(file.content.size() + kFileHeaderSize));
        PutU32(out, static_cast<std::uint32_t>(file.content.size()));
        PutU8(out, 0);
        Append(out, file.content);
    }

    std::vector<BTreeEntry> entries;
    for (const auto& [name, offset] : offsets) {
        BTreeEntry entry;
        PutStringZ(entry.key, name);
        PutU32(entry.value, offset);
        entries.push_back(std::move(entry));
    }
    const Bytes directory = BuildBTree({0x0402, 1024, "z4"}, entries);
    const std::uint32_t directoryStart = static_cast<std::uint32_t>(out.size());
    PutU32(out, static_cast<std::uint32_t>(directory.size() + kFileHeaderSize));
    PutU32(out, static_cast<std::uint32_t>(directory.size()));
    PutU8(out, 4);
    Append(out, directory);

    SetU32(out, 0, kHelpMagic);
    SetU32(out, 4, directoryStart);
    SetU32(out, 8, kNone);  // no free list
    SetU32(out, 12, static_cast<std::uint32_t>(out.size()));
    return out;
}

// ---------------------------------------------------------------------------

namespace {

// Context ids of a 3.1 help file use letters (either case, same value),
// digits, '.' and '_'; each has a fixed weight in the hash.
int ContextCharValue(char c) {
    if (c >= 'A' && c <= 'Z') return 0x11 + (c - 'A');
    if (c >= 'a' && c <= 'z') return 0x11 + (c - 'a');
    if (c == '0') return 0x0A;
    if (c >= '1' && c <= '9') return c - '0';
    if (c == '.') return 0x0C;
    if (c == '_') return 0x0D;
    return -1;
}

}  // namespace

bool IsValidContextId(const std::string& contextId) {
    if (contextId.empty() || contextId.size() > 255) return false;
    for (char c : contextId)
        if (ContextCharValue(c) < 0) return false;
    return true;
}

std::uint32_t ContextHash(const std::string& contextId) {
    if (!IsValidContextId(contextId)) throw FormatError("invalid context id '" + contextId + "'");
    std::uint32_t hash = 0;
    for (char c : contextId) hash = hash * 43u + static_cast<std::uint32_t>(ContextCharValue(c));
    return hash;
}

Bytes EncodeLiterals(const Bytes& data) {
    Bytes out;
    for (std::size_t i = 0; i < data.size(); i += 8) {
        PutU8(out, 0);  // the next eight bytes are all literals
        const std::size_t end = std::min(data.size(), i + 8);
        out.insert(out.end(), data.begin() + i, data.begin() + end);
    }
    return out;
}

Bytes BuildSystemFile(const std::string& title, const std::string& copyright,
                      std::uint32_t contentsOffset) {
    Bytes out;
    PutU16(out, kSystemMagic);
    PutU16(out, kHelp31Minor);
    PutU16(out, 1);  // major
    PutU32(out, 0);  // generation date: left out so that builds repeat
    PutU16(out, kSystemFlagsLz77);
    auto record = [&out](unsigned type, const Bytes& data) {
        if (data.size() > 0xFFFF) throw FormatError("|SYSTEM record too long");
        PutU16(out, type);
        PutU16(out, static_cast<unsigned>(data.size()));
        Append(out, data);
    };
    Bytes text;
    PutStringZ(text, title);
    record(1, text);
    text.clear();
    PutStringZ(text, copyright);
    record(2, text);
    Bytes contents;
    PutU32(contents, contentsOffset);
    record(3, contents);
    return out;
}

namespace {

constexpr unsigned kFaceNameSize = 20;

struct FontStyle {
    unsigned attributes;  // 1 = bold
    unsigned halfPoints;
};

// Indexed by ParagraphStyle.
const FontStyle kFontStyles[] = {{0, 20}, {1, 22}, {1, 28}};

unsigned FontNumber(ParagraphStyle style) { return static_cast<unsigned>(style); }

}  // namespace

Bytes BuildFontFile() {
    const std::string face = "Arial";
    const unsigned count = sizeof kFontStyles / sizeof kFontStyles[0];
    Bytes out;
    PutU16(out, 1);                  // face names
    PutU16(out, count);              // descriptors
    PutU16(out, 8);                  // face names start
    PutU16(out, 8 + kFaceNameSize);  // descriptors start
    Bytes name(kFaceNameSize, 0);
    std::copy(face.begin(), face.end(), name.begin());
    Append(out, name);
    for (const FontStyle& style : kFontStyles) {
        PutU8(out, style.attributes);
        PutU8(out, style.halfPoints);
        PutU8(out, 3);   // family: swiss
        PutU16(out, 0);  // face name index
        PutU8(out, 0);   // foreground: black
        PutU8(out, 0);
        PutU8(out, 0);
        PutU8(out, 0xFF);  // background: white
        PutU8(out, 0xFF);
        PutU8(out, 0xFF);
    }
    return out;
}

// ---------------------------------------------------------------------------

namespace {

enum : unsigned {
    kRecordTopicHeader = 2,
    kRecordText = 0x20,
};

struct Link {
    unsigned type = kRecordText;
    std::size_t topic = 0;  // owning topic; the closing link owns none
    Bytes data1;            // after the 21-byte link header
    Bytes data2;
    // Filled in by the layout:
    std::uint32_t position = 0;  // TOPICPOS
    std::uint32_t offset = 0;    // TOPICOFFSET
    unsigned block = 0;

    std::size_t Size() const { return kTopicLinkHeaderSize + data1.size() + data2.size(); }
};

// Paragraph spacing, in half points.
int SpaceAbove(ParagraphStyle style) {
    switch (style) {
        case ParagraphStyle::Title:
            return 4;
        case ParagraphStyle::Heading:
            return 12;
        case ParagraphStyle::Body:
            break;
    }
    return 6;
}

Link TextRecord(const Paragraph& paragraph) {
    // The text is a series of strings, each followed by one formatting
    // command: a font change first, jump hotspots inside, end of paragraph
    // last.
    Bytes commands;
    Bytes text;
    PutStringZ(text, "");
    PutU8(commands, 0x80);
    PutU16(commands, FontNumber(paragraph.style));
    std::string pending;
    for (const TextRun& run : paragraph.runs) {
        if (run.jumpTarget.empty()) {
            pending += run.text;
            continue;
        }
        PutStringZ(text, pending);
        pending.clear();
        PutU8(commands, 0xE3);
        PutU32(commands, ContextHash(run.jumpTarget));
        PutStringZ(text, run.text);
        PutU8(commands, 0x89);
    }
    PutStringZ(text, pending);
    PutU8(commands, 0x82);
    PutU8(commands, 0xFF);

    if (text.size() >= 0x8000) throw FormatError("paragraph too long for one topic record");
    Link link;
    link.type = kRecordText;
    PutCompressedULong(link.data1, static_cast<std::uint32_t>(text.size()));
    PutCompressedUShort(link.data1, static_cast<unsigned>(text.size()));
    PutU8(link.data1, 0x00);
    PutU8(link.data1, 0x80);
    PutU16(link.data1, 0);       // paragraph id
    PutU16(link.data1, 0x0002);  // spacing above follows
    PutCompressedShort(link.data1, SpaceAbove(paragraph.style));
    Append(link.data1, commands);
    link.data2 = std::move(text);
    return link;
}

Bytes TopicHeaderData(std::uint32_t blockSize, std::uint32_t browseBack,
                      std::uint32_t browseForward, std::uint32_t number, std::uint32_t nonScroll,
                      std::uint32_t scroll, std::uint32_t nextTopic) {
    Bytes out;
    PutU32(out, blockSize);
    PutU32(out, browseBack);
    PutU32(out, browseForward);
    PutU32(out, number);
    PutU32(out, nonScroll);
    PutU32(out, scroll);
    PutU32(out, nextTopic);
    return out;
}

}  // namespace

TopicFile BuildTopicFile(const HelpDocument& document) {
    // Records in file order: per topic its header, its title paragraph and
    // its body; then a closing header that ends the last topic.
    std::vector<Link> links;
    std::vector<std::size_t> headerLinks;
    for (std::size_t t = 0; t < document.topics.size(); ++t) {
        const Topic& topic = document.topics[t];
        Link header;
        header.type = kRecordTopicHeader;
        header.topic = t;
        header.data1.assign(kTopicHeaderSize, 0);
        PutStringZ(header.data2, topic.title);
        headerLinks.push_back(links.size());
        links.push_back(std::move(header));

        Paragraph title;
        title.style = ParagraphStyle::Title;
        title.runs.push_back({topic.title, ""});
        links.push_back(TextRecord(title));
        links.back().topic = t;
        for (const Paragraph& paragraph : topic.body) {
            links.push_back(TextRecord(paragraph));
            links.back().topic = t;
        }
    }
    Link closing;
    closing.type = kRecordTopicHeader;
    closing.topic = document.topics.size();
    closing.data1 = TopicHeaderData(0, kNone, kNone, kNone, kNone, kNone, kNone);
    PutStringZ(closing.data2, "");
    headerLinks.push_back(links.size());
    links.push_back(std::move(closing));

    // Layout: a record never straddles two blocks; the rest of a block that
    // cannot hold the next record stays zero.
    unsigned block = 0;
    std::size_t used = 0;
    std::uint32_t characters = 0;
    for (Link& link : links) {
        if (link.Size() > kTopicBlockCapacity)
            throw FormatError("paragraph too long for one topic block");
        if (used + link.Size() > kTopicBlockCapacity) {
            ++block;
            used = 0;
            characters = 0;
        }
        link.block = block;
        link.position =
            static_cast<std::uint32_t>(kTopicBlockHeaderSize + block * kTopicPositionStride + used);
        link.offset = block * kTopicOffsetStride + characters;
        used += link.Size();
        if (link.type == kRecordText) characters += static_cast<std::uint32_t>(link.data2.size());
    }
    const unsigned blockCount = block + 1;

    TopicFile result;
    for (std::size_t t = 0; t < document.topics.size(); ++t)
        result.topicOffsets.push_back(links[headerLinks[t]].offset);

    for (std::size_t t = 0; t < document.topics.size(); ++t) {
        const std::size_t first = headerLinks[t];
        const std::size_t end = headerLinks[t + 1];
        std::uint32_t size = 0;
        for (std::size_t i = first; i < end; ++i)
            size += static_cast<std::uint32_t>(links[i].Size());
        links[first].data1 = TopicHeaderData(
            size, t == 0 ? kNone : result.topicOffsets[t - 1],
            t + 1 == document.topics.size() ? kNone : result.topicOffsets[t + 1],
            static_cast<std::uint32_t>(t), kNone, links[first + 1].position, links[end].position);
    }

    std::vector<Bytes> blocks(blockCount);
    for (std::size_t i = 0; i < links.size(); ++i) {
        const Link& link = links[i];
        Bytes& data = blocks[link.block];
        PutU32(data, static_cast<std::uint32_t>(link.Size()));
        PutU32(data, static_cast<std::uint32_t>(link.data2.size()));
        PutU32(data, i == 0 ? kNone : links[i - 1].position);
        PutU32(data, i + 1 == links.size() ? kNone : links[i + 1].position);
        PutU32(data, static_cast<std::uint32_t>(kTopicLinkHeaderSize + link.data1.size()));
        PutU8(data, link.type);
        Append(data, link.data1);
        Append(data, link.data2);
    }

    Bytes& out = result.data;
    std::uint32_t lastHeader = kNone;
    std::size_t nextHeader = 0;
    std::size_t firstInBlock = 0;
    for (unsigned b = 0; b < blockCount; ++b) {
        while (links[firstInBlock].block != b) ++firstInBlock;
        // The header in force where this block starts, for a reader that
        // lands inside a topic begun in an earlier block.
        while (nextHeader < headerLinks.size() && links[headerLinks[nextHeader]].block < b) {
            lastHeader = links[headerLinks[nextHeader]].position;
            ++nextHeader;
        }
        const std::size_t start = out.size();
        PutU32(out, firstInBlock == 0 ? kNone : links[firstInBlock - 1].position);
        PutU32(out, links[firstInBlock].position);
        PutU32(out, lastHeader);
        Append(out, EncodeLiterals(blocks[b]));
        out.resize(start + kTopicBlockSize, 0);
    }
    return result;
}

Bytes BuildContextFile(const HelpDocument& document,
                       const std::vector<std::uint32_t>& topicOffsets) {
    std::vector<std::pair<std::int32_t, std::uint32_t>> keyed;
    for (std::size_t t = 0; t < document.topics.size(); ++t)
        keyed.emplace_back(static_cast<std::int32_t>(ContextHash(document.topics[t].contextId)),
                           topicOffsets.at(t));
    std::sort(keyed.begin(), keyed.end());
    std::vector<BTreeEntry> entries;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (i > 0 && keyed[i].first == keyed[i - 1].first)
            throw FormatError("two context ids have the same hash");
        BTreeEntry entry;
        PutU32(entry.key, static_cast<std::uint32_t>(keyed[i].first));
        PutU32(entry.value, keyed[i].second);
        entries.push_back(std::move(entry));
    }
    return BuildBTree({0x0002, 2048, "L4"}, entries);
}

Bytes BuildHelpFile(const HelpDocument& document) {
    if (document.topics.empty()) throw FormatError("help file has no topic");
    std::map<std::uint32_t, std::string> ids;
    for (const Topic& topic : document.topics) {
        const std::uint32_t hash = ContextHash(topic.contextId);
        auto [it, added] = ids.emplace(hash, topic.contextId);
        if (!added)
            throw FormatError("context id '" + topic.contextId + "' clashes with '" + it->second +
                              "'");
    }
    for (const Topic& topic : document.topics)
        for (const Paragraph& paragraph : topic.body)
            for (const TextRun& run : paragraph.runs)
                if (!run.jumpTarget.empty() && !ids.count(ContextHash(run.jumpTarget)))
                    throw FormatError("jump to unknown context id '" + run.jumpTarget +
                                      "' in topic '" + topic.contextId + "'");

    std::size_t contents = 0;
    if (!document.contentsId.empty()) {
        const std::uint32_t hash = ContextHash(document.contentsId);
        while (contents < document.topics.size() &&
               ContextHash(document.topics[contents].contextId) != hash)
            ++contents;
        if (contents == document.topics.size())
            throw FormatError("contents topic '" + document.contentsId + "' not found");
    }

    const TopicFile topics = BuildTopicFile(document);
    HelpFileBuilder builder;
    builder.AddFile("|SYSTEM", BuildSystemFile(document.title, document.copyright,
                                               topics.topicOffsets[contents]));
    builder.AddFile("|TOPIC", topics.data);
    builder.AddFile("|FONT", BuildFontFile());
    builder.AddFile("|CONTEXT", BuildContextFile(document, topics.topicOffsets));
    return builder.Finish();
}

}  // namespace winhelp

#include "tools/payloadgen/payload_rows.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace payloadgen {
namespace {

// Field widths of the installer's PayloadEntry, terminator included.
const size_t kFileNameBytes = 14;
const size_t kResourceNameBytes = 20;
const size_t kCaptionBytes = 40;
// The meter takes one step per 1/200 of the expanded bytes, read 32 at a
// time: a smaller payload would make the step zero.
const uint64_t kMinimumUnpackedTotal = 6400;
const uint64_t kUnpackedTotalLimit = 0x80000000ull;

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string LineError(int line, const std::string& what) {
    return "payload rows, line " + std::to_string(line) + ": " + what;
}

bool ParseCount(const std::string& text, long* value) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    *value = std::stol(text);
    return true;
}

// Resource names and file names end up inside C string literals and the
// resource script: keep them to characters that need no escaping.
bool PlainName(const std::string& s) {
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '"' || c == '\\') return false;
    }
    return !s.empty();
}

// The staged file's name: the last character becomes '_'.  The temporary
// folder is not case-sensitive, so neither is the comparison.
std::string StagedKey(const std::string& fileName) {
    std::string key = fileName.substr(0, fileName.size() - 1) + "_";
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::string CLiteral(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08Xu", static_cast<unsigned int>(value));
    return text;
}

}  // namespace

std::string ParseRows(const std::string& text, Table* table) {
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string first, second;
        fields >> first >> second;
        if (first == "installCount" || first == "shortcutCount") {
            long value = 0;
            std::string extra;
            if (!ParseCount(second, &value) || (fields >> extra))
                return LineError(lineNo, first + " needs one whole number");
            (first == "installCount" ? table->installCount : table->shortcutCount) = value;
            continue;
        }
        Row row;
        row.fileName = first;
        std::string resource;
        fields >> resource;
        std::string caption;
        std::getline(fields, caption);
        caption = Trim(caption);
        if (second != "0" && second != "1" && second != "2" && second != "3")
            return LineError(lineNo, "flags of " + first + " must be 0, 1, 2 or 3");
        if (resource.empty() || caption.empty())
            return LineError(lineNo, "a row needs fileName, flags, resourceName and a caption");
        row.flags = static_cast<uint32_t>(second[0] - '0');
        row.resourceName = resource;
        row.shortcutCaption = caption;
        table->rows.push_back(row);
    }
    if (table->installCount < 0) return "payload rows: installCount is missing";
    if (table->shortcutCount < 0) return "payload rows: shortcutCount is missing";
    return "";
}

PackedHeader ReadPackedHeader(const std::vector<uint8_t>& packed) {
    static const uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    PackedHeader h;
    if (packed.size() < 14) return h;
    for (int i = 0; i < 8; ++i)
        if (packed[i] != kSignature[i]) return h;
    if (packed[8] != 'A') return h;
    h.valid = true;
    h.missingChar = static_cast<char>(packed[9]);
    h.expandedLength =
        static_cast<uint32_t>(packed[10]) | (static_cast<uint32_t>(packed[11]) << 8) |
        (static_cast<uint32_t>(packed[12]) << 16) | (static_cast<uint32_t>(packed[13]) << 24);
    return h;
}

std::string CheckTable(const Table& table, const std::vector<PackedHeader>& headers) {
    const long rowCount = static_cast<long>(table.rows.size());
    if (table.installCount < 1)
        return "installCount must be at least 1 (the installing page divides by it)";
    if (table.installCount > rowCount)
        return "installCount " + std::to_string(table.installCount) + " exceeds the " +
               std::to_string(rowCount) + " rows";
    if (table.shortcutCount > table.installCount)
        return "shortcutCount " + std::to_string(table.shortcutCount) + " exceeds installCount " +
               std::to_string(table.installCount);
    if (headers.size() != table.rows.size()) return "one packed file per row is needed";

    uint64_t total = 0;
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const Row& r = table.rows[i];
        if (!PlainName(r.fileName) || r.fileName.size() >= kFileNameBytes)
            return "file name \"" + r.fileName + "\" must be 1 to 13 plain characters";
        if (!PlainName(r.resourceName) || r.resourceName.size() >= kResourceNameBytes)
            return "resource name \"" + r.resourceName + "\" must be 1 to 19 plain characters";
        if (!PlainName(r.shortcutCaption) || r.shortcutCaption.size() >= kCaptionBytes)
            return "shortcut caption \"" + r.shortcutCaption +
                   "\" must be 1 to 39 plain characters";
        for (size_t j = 0; j < i; ++j) {
            if (table.rows[j].resourceName == r.resourceName)
                return "resource name " + r.resourceName + " is used twice";
            if (StagedKey(table.rows[j].fileName) == StagedKey(r.fileName))
                return table.rows[j].fileName + " and " + r.fileName +
                       " would be staged under one name";
        }
        const PackedHeader& h = headers[i];
        if (!h.valid) return r.fileName + ": its packed form is not an SZDD stream of mode 'A'";
        if (h.expandedLength != r.unpackedSize)
            return r.fileName + ": packed header says " + std::to_string(h.expandedLength) +
                   " bytes, the file has " + std::to_string(r.unpackedSize);
        if (h.missingChar != r.fileName.back())
            return r.fileName + ": packed header names the wrong last character";
        if (static_cast<long>(i) < table.installCount) total += r.unpackedSize;
    }
    if (total < kMinimumUnpackedTotal)
        return "the installed files add up to " + std::to_string(total) +
               " bytes; at least 6400 are needed";
    if (total >= kUnpackedTotalLimit)
        return "the installed files add up to " + std::to_string(total) +
               " bytes; they must stay below 2^31";
    return "";
}

namespace {

std::string Counts(const Table& table) {
    return "extern const int PayloadRowCount = " + std::to_string(table.rows.size()) + ";\n" +
           "extern const int installCount = " + std::to_string(table.installCount) + ";\n" +
           "extern const int shortcutCount = " + std::to_string(table.shortcutCount) + ";\n";
}

}  // namespace

std::string RenderTableSource(const Table& table) {
    std::ostringstream out;
    out << "// Generated by payloadgen from product/payload.rows and the built product\n"
           "// files.  Do not edit.\n"
           "#include \"engine/payload_table.h\"\n\n"
           "const PayloadEntry PayloadTable[] = {\n";
    for (const Row& r : table.rows) {
        out << "    {" << CLiteral(r.fileName) << ", " << r.flags << ", "
            << CLiteral(r.resourceName) << ", " << CLiteral(r.shortcutCaption) << ", "
            << r.unpackedSize << "u, " << r.packedSize << "u, " << Hex(r.checksum) << "},\n";
    }
    out << "};\n\n" << Counts(table);
    return out.str();
}

std::string RenderPlacesSource(const Table& table) {
    std::ostringstream out;
    out << "// Generated by payloadgen from product/payload.rows.  Do not edit.\n"
           "#include \"engine/payload_table.h\"\n\n"
           "const PayloadPlace PayloadPlaces[] = {\n";
    for (const Row& r : table.rows)
        out << "    {" << CLiteral(r.fileName) << ", " << r.flags << ", "
            << CLiteral(r.shortcutCaption) << "},\n";
    out << "};\n\n" << Counts(table);
    return out.str();
}

std::string RenderResourceScript(const Table& table, const std::vector<std::string>& packedPaths) {
    std::ostringstream out;
    out << "// Generated by payloadgen: the packed product files.  Do not edit.\n";
    for (size_t i = 0; i < table.rows.size() && i < packedPaths.size(); ++i)
        out << table.rows[i].resourceName << " RCDATA " << CLiteral(packedPaths[i]) << "\n";
    return out.str();
}

}  // namespace payloadgen

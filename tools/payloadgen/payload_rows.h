// Turns the list of product files (product/payload.rows) and the measured
// sizes of each file and its packed form into the installer's payload table
// and the resource script that embeds the packed files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace payloadgen {

struct Row {
    std::string fileName;
    uint32_t flags = 0;
    std::string resourceName;
    std::string shortcutCaption;
    uint32_t unpackedSize = 0;
    uint32_t packedSize = 0;
    uint32_t checksum = 0;  // CRC-32 of the product file
};

struct Table {
    std::vector<Row> rows;
    long installCount = -1;
    long shortcutCount = -1;
};

// Parses the rows file.  Returns an empty string on success, else a message
// that names the line at fault.
std::string ParseRows(const std::string& text, Table* table);

// What the build learned about one packed file: its SZDD header.
struct PackedHeader {
    bool valid = false;  // signature and mode 'A' present
    char missingChar = 0;
    uint32_t expandedLength = 0;
};
PackedHeader ReadPackedHeader(const std::vector<uint8_t>& packed);

// Checks every rule the installer relies on: the counts, the sizes, the
// lengths of the names, staged names that differ ignoring case (two rows
// would share one staged file), and that each packed file is the SZDD
// form of its product file.  Returns an empty string when all hold.
std::string CheckTable(const Table& table, const std::vector<PackedHeader>& headers);

// The C++ source that defines PayloadTable and its counts.
std::string RenderTableSource(const Table& table);

// The C++ source that defines PayloadPlaces and the same counts: the rows
// without anything measured, for the uninstaller, which is itself one of
// the measured files.
std::string RenderPlacesSource(const Table& table);

// The resource script: one RCDATA line per row, naming the packed file.
std::string RenderResourceScript(const Table& table, const std::vector<std::string>& packedPaths);

}  // namespace payloadgen

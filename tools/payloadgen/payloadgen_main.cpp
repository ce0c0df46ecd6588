// payloadgen ROWS PRODUCT_DIR PACKED_DIR OUT_CPP OUT_RC
//
// Measures and checksums every product file named in ROWS, measures its packed form
// (PACKED_DIR/<name with its last character replaced by '_'>), checks the
// table's rules and writes the table source and the resource script.  The
// script names the packed files relative to its own folder, which the build
// puts on the resource compiler's include path: an absolute name would make
// the script differ with the folder a build happens in.
//
// payloadgen places ROWS OUT_CPP
//
// Writes the rows' names, folders and captions alone, for the uninstaller.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/checksum.h"
#include "tools/payloadgen/payload_rows.h"

namespace {

bool ReadWhole(const std::string& path, std::vector<uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWhole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "payloadgen: %s\n", message.c_str());
    return 1;
}

std::string ReadRows(const char* path, payloadgen::Table* table) {
    std::vector<uint8_t> rowsText;
    if (!ReadWhole(path, &rowsText)) return std::string("cannot read ") + path;
    return payloadgen::ParseRows(std::string(rowsText.begin(), rowsText.end()), table);
}

int WritePlaces(const char* rowsPath, const char* outPath) {
    payloadgen::Table table;
    std::string error = ReadRows(rowsPath, &table);
    if (!error.empty()) return Fail(error);
    if (!WriteWhole(outPath, payloadgen::RenderPlacesSource(table)))
        return Fail("cannot write places");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "places") return WritePlaces(argv[2], argv[3]);
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: payloadgen ROWS PRODUCT_DIR PACKED_DIR OUT_CPP OUT_RC\n"
                     "       payloadgen places ROWS OUT_CPP\n");
        return 2;
    }
    payloadgen::Table table;
    std::string error = ReadRows(argv[1], &table);
    if (!error.empty()) return Fail(error);

    std::vector<payloadgen::PackedHeader> headers;
    std::vector<std::string> packedPaths;
    const std::filesystem::path scriptDir = std::filesystem::absolute(argv[5]).parent_path();
    for (payloadgen::Row& row : table.rows) {
        std::string productPath = std::string(argv[2]) + "/" + row.fileName;
        std::string stagedName = row.fileName.substr(0, row.fileName.size() - 1) + "_";
        std::string packedPath = std::string(argv[3]) + "/" + stagedName;
        std::vector<uint8_t> product, packed;
        if (!ReadWhole(productPath, &product)) return Fail("cannot read " + productPath);
        if (!ReadWhole(packedPath, &packed)) return Fail("cannot read " + packedPath);
        if (product.size() >= 0x80000000u || packed.size() >= 0x80000000u)
            return Fail(row.fileName + " is too large");
        row.unpackedSize = static_cast<uint32_t>(product.size());
        row.packedSize = static_cast<uint32_t>(packed.size());
        row.checksum = Crc32Update(0, product.data(), product.size());
        headers.push_back(payloadgen::ReadPackedHeader(packed));
        packedPaths.push_back(
            std::filesystem::relative(packedPath, scriptDir).generic_string());
    }
    error = payloadgen::CheckTable(table, headers);
    if (!error.empty()) return Fail(error);

    if (!WriteWhole(argv[4], payloadgen::RenderTableSource(table)))
        return Fail("cannot write table");
    if (!WriteWhole(argv[5], payloadgen::RenderResourceScript(table, packedPaths)))
        return Fail("cannot write resource script");
    return 0;
}

// szdd: packs files into SZDD streams for the installer's payload, and
// expands them again (the reference decoder that the tests compare with).
//
//   szdd pack [-c X | --char X] [--] IN OUT
//   szdd unpack [--] IN OUT
//
// Exit codes: 0 done, 2 usage, 3 file could not be read or written,
// 4 corrupt input to unpack, 5 input too large to pack.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "tools/szdd/szdd_codec.h"

namespace {

enum ExitCode {
    kExitOk = 0,
    kExitUsage = 2,
    kExitIo = 3,
    kExitCorrupt = 4,
    kExitTooLarge = 5,
};

const char kUsage[] =
    "usage: szdd pack [-c X | --char X] [--] IN OUT\n"
    "       szdd unpack [--] IN OUT\n"
    "pack stores the last character of IN's file name in the header as the\n"
    "character that the compressed file's name replaces with '_';\n"
    "-c/--char sets it instead.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "szdd: %s\n%s", problem, kUsage);
    return kExitUsage;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "szdd: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    data->clear();
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
        data->insert(data->end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        std::fprintf(stderr, "szdd: cannot read %s: %s\n", path.c_str(), std::strerror(err));
        return false;
    }
    return true;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "szdd: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        std::fprintf(stderr, "szdd: cannot write %s: %s\n", path.c_str(), std::strerror(err));
        std::remove(path.c_str());  // leave no half-written output behind
    }
    return ok;
}

// The character after the last '/', or 0 when the name is empty.
char LastNameChar(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? 0 : name.back();
}

int Pack(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    bool haveChar = false;
    bool optionsDone = false;
    char missing = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsDone) {
            files.push_back(a);
        } else if (a == "--") {
            optionsDone = true;
        } else if (a == "-c" || a == "--char") {
            if (i + 1 >= args.size()) return Usage("-c needs a character");
            if (args[i + 1].size() != 1) return Usage("-c takes exactly one character");
            missing = args[++i][0];
            haveChar = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return Usage("pack needs IN and OUT");
    const std::string& in = files[0];
    const std::string& out = files[1];
    if (!haveChar) {
        missing = LastNameChar(in);
        if (missing == 0) return Usage("IN has no file name to take the character from");
    }

    std::vector<std::uint8_t> data;
    if (!ReadFile(in, &data)) return kExitIo;
    szdd::CompressOptions options;
    options.missingChar = static_cast<std::uint8_t>(missing);
    std::vector<std::uint8_t> packed;
    if (!szdd::Compress(data, options, &packed)) {
        std::fprintf(stderr,
                     "szdd: %s is too large for an SZDD stream (%zu bytes, at most 4294967295)\n",
                     in.c_str(), data.size());
        return kExitTooLarge;
    }
    return WriteFile(out, packed) ? kExitOk : kExitIo;
}

int Unpack(std::vector<std::string> args) {
    if (!args.empty() && args[0] == "--") {
        args.erase(args.begin());
    } else {
        for (const std::string& a : args)
            if (a.size() > 1 && a[0] == '-') return Usage(("unknown option " + a).c_str());
    }
    if (args.size() != 2) return Usage("unpack needs IN and OUT");
    std::vector<std::uint8_t> stream;
    if (!ReadFile(args[0], &stream)) return kExitIo;
    std::vector<std::uint8_t> data;
    const szdd::DecodeStatus status = szdd::Decode(stream, &data);
    if (status != szdd::DecodeStatus::Ok) {
        std::fprintf(stderr, "szdd: %s: %s\n", args[0].c_str(), szdd::DecodeStatusText(status));
        return kExitCorrupt;
    }
    return WriteFile(args[1], data) ? kExitOk : kExitIo;
}

int Run(int argc, char** argv) {
    if (argc < 2) return Usage("no command given");
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "pack") return Pack(args);
    if (command == "unpack") return Unpack(args);
    if (command == "-h" || command == "--help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    return Usage(("unknown command " + command).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "szdd: out of memory\n");
        return kExitIo;
    }
}

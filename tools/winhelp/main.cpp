// winhelp: makes the product's help files at build time.
//
//   winhelp build SOURCE.txt OUT.hlp
//   winhelp contents SOURCE.cnt OUT.cnt HELPSOURCE.txt...
//
// For `contents`, each HELPSOURCE X.txt stands for the help file X.hlp; every
// jump of the contents file must name a topic that exists in it.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/winhelp/contents.h"
#include "tools/winhelp/hlpwriter.h"
#include "tools/winhelp/topicsource.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    text = buffer.str();
    return true;
}

// Written beside the target and renamed over it, so that a failed run
// never leaves a half-written file for the build to pick up.
bool WriteFile(const std::string& path, const std::string& data) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: winhelp build SOURCE.txt OUT.hlp\n"
                 "       winhelp contents SOURCE.cnt OUT.cnt HELPSOURCE.txt...\n");
    return 2;
}

int Build(const std::string& sourcePath, const std::string& outPath) {
    std::string source;
    if (!ReadFile(sourcePath, source)) {
        std::fprintf(stderr, "winhelp: cannot read %s\n", sourcePath.c_str());
        return 1;
    }
    const winhelp::HelpDocument document = winhelp::ParseTopicSource(source, BaseName(sourcePath));
    const winhelp::Bytes help = winhelp::BuildHelpFile(document);
    if (!WriteFile(outPath, std::string(help.begin(), help.end()))) {
        std::fprintf(stderr, "winhelp: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

int Contents(const std::string& sourcePath, const std::string& outPath, char** helpSources,
             int count) {
    winhelp::HelpFileIds ids;
    for (int i = 0; i < count; ++i) {
        std::string text;
        if (!ReadFile(helpSources[i], text)) {
            std::fprintf(stderr, "winhelp: cannot read %s\n", helpSources[i]);
            return 1;
        }
        const std::string name = BaseName(helpSources[i]);
        const std::size_t dot = name.rfind('.');
        const std::string helpName = winhelp::ToLower(name.substr(0, dot)) + ".hlp";
        std::set<std::string>& topics = ids[helpName];
        for (const winhelp::Topic& topic : winhelp::ParseTopicSource(text, name).topics)
            topics.insert(winhelp::ToLower(topic.contextId));
    }
    std::string source;
    if (!ReadFile(sourcePath, source)) {
        std::fprintf(stderr, "winhelp: cannot read %s\n", sourcePath.c_str());
        return 1;
    }
    const std::string contents = winhelp::BuildContents(source, BaseName(sourcePath), ids);
    if (!WriteFile(outPath, contents)) {
        std::fprintf(stderr, "winhelp: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    try {
        if (command == "build" && argc == 4) return Build(argv[2], argv[3]);
        if (command == "contents" && argc >= 5)
            return Contents(argv[2], argv[3], argv + 4, argc - 4);
    } catch (const winhelp::FormatError& error) {
        std::fprintf(stderr, "winhelp: %s\n", error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "winhelp: %s\n", error.what());
        return 1;
    }
    return Usage();
}

#include "tools/winhelp/contents.h"

#include <cctype>
#include <vector>

#include "tools/winhelp/hlpwriter.h"

namespace winhelp {

std::string ToLower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

namespace {

class ContentsBuilder {
public:
    ContentsBuilder(const std::string& name, const HelpFileIds& helpFiles)
        : name_(name), helpFiles_(helpFiles) {}

    std::string Build(const std::string& source) {
        std::size_t start = 0;
        while (start < source.size()) {
            std::size_t end = source.find('\n', start);
            if (end == std::string::npos) end = source.size();
            std::string line = source.substr(start, end - start);
            ++lineNumber_;
            while (!line.empty() &&
                   (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            if (!line.empty()) Line(line);
            start = end + 1;
        }
        if (base_.empty()) Fail("no :Base line");
        for (const Jump& jump : jumps_) Check(jump);
        return out_;
    }

private:
    struct Jump {
        int line;
        std::string id;
        std::string file;  // empty: the base file
    };

    [[noreturn]] void Fail(const std::string& what) const { FailAt(lineNumber_, what); }

    [[noreturn]] void FailAt(int line, const std::string& what) const {
        throw FormatError(name_ + ":" + std::to_string(line) + ": " + what);
    }

    void Line(const std::string& line) {
        for (unsigned char c : line)
            if (c < 0x20 && c != '\t') Fail("control character");
        if (line[0] == ':')
            Command(line);
        else if (line[0] >= '1' && line[0] <= '9')
            Entry(line);
        else
            Fail("line is neither a :command nor a numbered entry");
        out_ += line;
        out_ += "\r\n";
    }

    void Command(const std::string& line) {
        const std::size_t blank = line.find(' ');
        const std::string word = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (word == ":Base") {
            if (!base_.empty()) Fail(":Base given twice");
            if (!helpFiles_.count(ToLower(rest)))
                Fail(":Base names '" + rest + "', which is not one of the help files");
            base_ = ToLower(rest);
            return;
        }
        if (word == ":Title" || word == ":Index" || word == ":Link" || word == ":Include" ||
            word == ":Tab") {
            if (rest.empty()) Fail(word + " needs a value");
            return;
        }
        Fail("unknown command '" + word + "'");
    }

    void Entry(const std::string& line) {
        const int level = line[0] - '0';
        if (line.size() < 3 || line[1] != ' ') Fail("entry needs 'N text'");
        if (level > deepest_)
            Fail("entry at level " + std::to_string(level) + " has no heading at level " +
                 std::to_string(level - 1));
        const std::string text = line.substr(2);
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) {  // a heading: entries may go under it
            deepest_ = level + 1;
            return;
        }
        if (equals == 0) Fail("topic entry without a title");
        std::string target = text.substr(equals + 1);
        const std::size_t window = target.find('>');
        if (window != std::string::npos) target.erase(window);
        Jump jump{lineNumber_, target, ""};
        const std::size_t at = target.find('@');
        if (at != std::string::npos) {
            jump.id = target.substr(0, at);
            jump.file = ToLower(target.substr(at + 1));
        }
        if (!IsValidContextId(jump.id)) Fail("'" + jump.id + "' is not a valid context id");
        deepest_ = level;
        jumps_.push_back(jump);
    }

    // Jumps are checked at the end, when :Base is known wherever it stood.
    void Check(const Jump& jump) const {
        const std::string file = jump.file.empty() ? base_ : jump.file;
        const auto found = helpFiles_.find(file);
        if (found == helpFiles_.end())
            FailAt(jump.line, "'" + file + "' is not one of the help files");
        if (!found->second.count(ToLower(jump.id)))
            FailAt(jump.line, "'" + file + "' has no topic '" + jump.id + "'");
    }

    std::string name_;
    const HelpFileIds& helpFiles_;
    int lineNumber_ = 0;
    int deepest_ = 1;
    std::string base_;
    std::vector<Jump> jumps_;
    std::string out_;
};

}  // namespace

std::string BuildContents(const std::string& source, const std::string& name,
                          const HelpFileIds& helpFiles) {
    return ContentsBuilder(name, helpFiles).Build(source);
}

}  // namespace winhelp

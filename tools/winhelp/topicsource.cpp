#include "tools/winhelp/topicsource.h"

#include <vector>

namespace winhelp {

namespace {

class Parser {
public:
    explicit Parser(const std::string& name) : name_(name) {}

    HelpDocument Parse(const std::string& text) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++lineNumber_;
            Line(line);
            start = end + 1;
        }
        EndParagraph();
        if (document_.title.empty()) Fail("no .title line");
        if (document_.topics.empty()) Fail("no .topic");
        return std::move(document_);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { FailAt(lineNumber_, what); }

    [[noreturn]] void FailAt(int line, const std::string& what) const {
        throw FormatError(name_ + ":" + std::to_string(line) + ": " + what);
    }

    void CheckCharacters(const std::string& line) const {
        for (unsigned char c : line)
            if (c < 0x20 && c != '\t') Fail("control character in text");
    }

    static std::string Trim(const std::string& text) {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) return "";
        const std::size_t last = text.find_last_not_of(" \t");
        return text.substr(first, last - first + 1);
    }

    // Splits "word rest of line" at the first blank.
    static void SplitWord(const std::string& text, std::string& word, std::string& rest) {
        const std::size_t blank = text.find_first_of(" \t");
        word = text.substr(0, blank);
        rest = blank == std::string::npos ? "" : Trim(text.substr(blank));
    }

    void Line(const std::string& raw) {
        CheckCharacters(raw);
        const std::string line = Trim(raw);
        if (!raw.empty() && raw[0] == '#') return;
        if (line.empty()) {
            EndParagraph();
            return;
        }
        if (raw[0] == '.') {
            EndParagraph();
            Directive(line);
            return;
        }
        if (document_.topics.empty()) Fail("text before the first .topic");
        if (paragraphText_.empty())
            paragraphLine_ = lineNumber_;
        else
            paragraphText_ += ' ';
        for (char c : line) paragraphText_ += c == '\t' ? ' ' : c;
    }

    void Directive(const std::string& line) {
        std::string word, rest;
        SplitWord(line, word, rest);
        if (word == ".topic") {
            std::string id, title;
            SplitWord(rest, id, title);
            if (!IsValidContextId(id)) Fail("'" + id + "' is not a valid context id");
            if (title.empty()) Fail(".topic needs a title after its context id");
            document_.topics.push_back({id, title, {}});
            return;
        }
        if (word == ".heading") {
            if (document_.topics.empty()) Fail(".heading before the first .topic");
            if (rest.empty()) Fail(".heading needs text");
            Paragraph heading;
            heading.style = ParagraphStyle::Heading;
            heading.runs.push_back({rest, ""});
            document_.topics.back().body.push_back(std::move(heading));
            return;
        }
        std::string* field = nullptr;
        if (word == ".title") field = &document_.title;
        if (word == ".copyright") field = &document_.copyright;
        if (word == ".contents") field = &document_.contentsId;
        if (field == nullptr) Fail("unknown directive '" + word + "'");
        if (!document_.topics.empty()) Fail(word + " after the first .topic");
        if (!field->empty()) Fail(word + " given twice");
        if (rest.empty()) Fail(word + " needs a value");
        if (word == ".contents" && !IsValidContextId(rest))
            Fail("'" + rest + "' is not a valid context id");
        *field = rest;
    }

    void EndParagraph() {
        if (paragraphText_.empty()) return;
        Paragraph paragraph;
        std::string plain;
        std::size_t i = 0;
        while (i < paragraphText_.size()) {
            const char c = paragraphText_[i];
            if (c == '}') FailAt(paragraphLine_, "'}' without '{'");
            if (c != '{') {
                plain += c;
                ++i;
                continue;
            }
            const std::size_t close = paragraphText_.find('}', i);
            if (close == std::string::npos) FailAt(paragraphLine_, "'{' without '}'");
            const std::string inner = paragraphText_.substr(i + 1, close - i - 1);
            const std::size_t bar = inner.find('|');
            if (inner.find('{') != std::string::npos) FailAt(paragraphLine_, "'{' inside a jump");
            if (bar == std::string::npos) FailAt(paragraphLine_, "jump without '|context_id'");
            const std::string shown = Trim(inner.substr(0, bar));
            const std::string target = Trim(inner.substr(bar + 1));
            if (shown.empty()) FailAt(paragraphLine_, "jump without text");
            if (!IsValidContextId(target))
                FailAt(paragraphLine_, "'" + target + "' is not a valid context id");
            if (!plain.empty()) paragraph.runs.push_back({plain, ""});
            plain.clear();
            paragraph.runs.push_back({shown, target});
            i = close + 1;
        }
        if (!plain.empty()) paragraph.runs.push_back({plain, ""});
        document_.topics.back().body.push_back(std::move(paragraph));
        paragraphText_.clear();
    }

    std::string name_;
    int lineNumber_ = 0;
    HelpDocument document_;
    std::string paragraphText_;
    int paragraphLine_ = 0;
};

}  // namespace

HelpDocument ParseTopicSource(const std::string& text, const std::string& name) {
    return Parser(name).Parse(text);
}

}  // namespace winhelp

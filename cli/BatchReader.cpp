#include "cli/BatchReader.h"

#include "cli/DesignJson.h"
#include "cli/Status.h"
#include "report/engine/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using enum Status;

namespace {

// One JSON text, parsed.
simdjson::dom::element Parse(simdjson::dom::parser &parser, std::string &text, Place where)
{
    // A byte-order mark, as some editors write, is passed over, as the program does.
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    text.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    simdjson::dom::element value;
    const auto error = parser.parse(text.data(), text.size(), false).get(value);
    if (error) Fail(badInput, where.text() + "not valid JSON: " + JsonProblem(text, error));
    return value;
}

DesignRecord Design(simdjson::dom::element value, Place where)
{
    DesignInput input = ReadDesign(value);
    if (!input.record) Fail(badInput, where.text() + input.problem);
    return std::move(*input.record);
}

// The elements of a JSON array as texts of their own, found without reading the array into
// memory whole: strings and nesting are followed and nothing else is judged, for each
// element is parsed on its own. A text that is no such array is a fault.
class ArrayElements {
public:
    explicit ArrayElements(std::string_view text) : text_(text)
    {
        skipBlanks();
        isArray_ = at_ < text_.size() && text_[at_] == '[';
        if (!isArray_) return;
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') finish(at_ + 1);
    }

    bool isArray() const { return isArray_; }
    bool faulty() const { return faulty_; }

    // The next element; false at the end, or at a fault.
    bool next(std::string_view &element)
    {
        if (!isArray_ || ended_ || faulty_) return false;
        skipBlanks();
        const std::size_t begin = at_;
        int depth = 0;
        for (; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                // On to the closing quote, past escaped ones.
                for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_)
                    if (text_[at_] == '\\') ++at_;
                if (at_ >= text_.size()) break;
            } else if (c == '[' || c == '{') {
                ++depth;
            } else if ((c == ']' || c == '}') && depth > 0) {
                --depth;
            } else if (depth == 0 && (c == ',' || c == ']')) {
                break;
            }
        }
        std::size_t end = at_;
        while (end > begin && IsBlank(text_[end - 1]))
            --end;
        if (at_ >= text_.size() || end == begin) return fail();
        element = text_.substr(begin, end - begin);
        if (text_[at_] == ']')
            finish(at_ + 1);
        else
            ++at_;
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    void skipBlanks()
    {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    // After the closing bracket only blanks may follow.
    void finish(std::size_t after)
    {
        at_ = after;
        skipBlanks();
        ended_ = true;
        faulty_ = at_ != text_.size();
    }

    bool fail()
    {
        faulty_ = true;
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    bool isArray_ = false;
    bool ended_ = false;
    bool faulty_ = false;
};

} // namespace

Input::Input(const std::string &name) : name_(name)
{
    if (name == "-") {
        fd_ = STDIN_FILENO;
    } else {
        fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) Fail(badInput, "cannot read '" + Shown(name) + "': " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode))
        Fail(badInput, "'" + Shown(name) + "' is a directory, not a design");
}

Input::~Input()
{
    if (fd_ != STDIN_FILENO) ::close(fd_);
}

bool Input::line(std::string &text)
{
    text.clear();
    for (;;) {
        const char *begin = buffer_.data() + begin_;
        const void *newline = std::memchr(begin, '\n', end_ - begin_);
        const std::size_t length =
            newline ? static_cast<const char *>(newline) - begin : end_ - begin_;
        if (text.size() + length > kLongestLine)
            Fail(badInput, "line " + std::to_string(lines_ + 1) + ": longer than 1 MiB");
        text.append(begin, length);
        begin_ += length;
        if (newline) {
            ++begin_;
            ++lines_;
            return true;
        }
        if (!fill()) {
            if (text.empty()) return false;
            ++lines_;
            return true;
        }
    }
}

std::string Input::all()
{
    std::string text;
    do {
        if (text.size() + (end_ - begin_) > kLargestDocument)
            Fail(badInput, "'" + Shown(name_) +
                               "' is larger than 64 MiB; give large batches "
                               "one design per line with --jsonl");
        text.append(buffer_.data() + begin_, end_ - begin_);
        begin_ = end_;
    } while (fill());
    return text;
}

bool Input::fill()
{
    begin_ = end_ = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(badInput, "cannot read '" + Shown(name_) + "': " + std::strerror(errno));
        end_ = static_cast<std::size_t>(n);
        return n > 0;
    }
}

// Straight to the descriptor, the pieces being large already; every write checked.
void Output::flush()
{
    if (!WriteAll(STDOUT_FILENO, text)) {
        const int error = errno;
        Fail(outputFailed, std::string("cannot write the output: ") +
                               (error ? std::strerror(error) : "write error"));
    }
    text.clear();
}

void EachLine(Input &input, const std::function<void(DesignRecord &record)> &take)
{
    simdjson::dom::parser parser;
    std::string text;
    while (input.line(text)) {
        if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
        const Place where{"line", input.lines()};
        DesignRecord record = Design(Parse(parser, text, where), where);
        take(record);
    }
}

Document::Document(Input &input) : name_(input.name()), text_(input.all())
{
    if (text_.starts_with("\xEF\xBB\xBF")) text_.erase(0, 3); // passed over, as the program does
}

bool Document::isBatch() const
{
    return ArrayElements(text_).isArray();
}

DesignRecord Document::single()
{
    if (text_.size() > kLargestDesign)
        Fail(badInput, "'" + Shown(name_) +
                           "' is larger than 1 MiB; a batch is an array of designs, or one "
                           "design per line with --jsonl");
    return Design(Parse(parser_, text_, {}), {});
}

std::size_t Document::each(const std::function<void(DesignRecord &, std::size_t)> &take)
{
    ArrayElements elements(text_);
    std::string_view item;
    std::size_t number = 0;
    while (elements.next(item)) {
        const Place where{"design", ++number};
        if (item.size() > kLargestDesign) Fail(badInput, where.text() + "larger than 1 MiB");
        simdjson::dom::element value;
        if (const auto error = parser_.parse(item.data(), item.size()).get(value))
            Fail(badInput, "not valid JSON: " + JsonProblem(text_, error));
        DesignRecord record = Design(value, where);
        take(record, number);
    }
    if (elements.faulty())
        Fail(badInput, "not valid JSON: " + JsonProblem(text_, simdjson::TAPE_ERROR));
    return number;
}

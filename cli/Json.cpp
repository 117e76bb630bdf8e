#include "Json.h"

#include "Utf8.h"

#include <charconv>
#include <cstdlib>

namespace {

constexpr int kDeepest = 64;

class Parser {
public:
    Parser(std::string_view text, JsonError &error) : text_(text), error_(error) {}

    std::optional<JsonValue> document()
    {
        JsonValue value;
        skipBlanks();
        if (!parseValue(value, 0)) return std::nullopt;
        skipBlanks();
        if (pos_ != text_.size()) return fail("unexpected text after the value");
        return value;
    }

private:
    std::nullopt_t fail(const char *message)
    {
        error_ = {message, pos_};
        return std::nullopt;
    }

    void skipBlanks()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    bool literal(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    bool parseValue(JsonValue &value, int depth)
    {
        if (pos_ >= text_.size()) return fail("unexpected end of text"), false;
        if (depth > kDeepest) return fail("nested too deeply"), false;
        switch (text_[pos_]) {
        case '{': return parseObject(value, depth);
        case '[': return parseArray(value, depth);
        case '"':
            value.kind = JsonValue::Kind::string;
            return parseString(value.string);
        case 't':
        case 'f':
            value.kind = JsonValue::Kind::boolean;
            value.boolean = text_[pos_] == 't';
            if (literal(value.boolean ? "true" : "false")) return true;
            return fail("invalid literal"), false;
        case 'n':
            value.kind = JsonValue::Kind::null;
            if (literal("null")) return true;
            return fail("invalid literal"), false;
        default:
            value.kind = JsonValue::Kind::number;
            return parseNumber(value.number);
        }
    }

    bool parseObject(JsonValue &value, int depth)
    {
        value.kind = JsonValue::Kind::object;
        ++pos_;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '}') return ++pos_, true;
        while (true) {
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '"') return fail("expected a member name"), false;
            std::string name;
            if (!parseString(name)) return false;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ':') return fail("expected ':'"), false;
            ++pos_;
            skipBlanks();
            JsonValue member;
            if (!parseValue(member, depth + 1)) return false;
            value.members.emplace_back(std::move(name), std::move(member));
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '}') return ++pos_, true;
            return fail("expected ',' or '}'"), false;
        }
    }

    bool parseArray(JsonValue &value, int depth)
    {
        value.kind = JsonValue::Kind::array;
        ++pos_;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ']') return ++pos_, true;
        while (true) {
            skipBlanks();
            JsonValue item;
            if (!parseValue(item, depth + 1)) return false;
            value.items.push_back(std::move(item));
            skipBlanks();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == ']') return ++pos_, true;
            return fail("expected ',' or ']'"), false;
        }
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool parseNumber(double &number)
    {
        const std::size_t begin = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
        if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return fail("invalid value"), false;
        if (text_[pos_] == '0') ++pos_;
        else while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return fail("invalid number"), false;
            while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
            if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return fail("invalid number"), false;
            while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
        }
        const auto [end, ec] = std::from_chars(text_.data() + begin, text_.data() + pos_, number);
        if (ec == std::errc::result_out_of_range) {
            // Beyond a double: strtod says which way (infinite, or zero); the program never
            // changes the C locale, so its decimal point is the JSON one.
            number = std::strtod(std::string(text_.substr(begin, pos_ - begin)).c_str(), nullptr);
        } else if (ec != std::errc() || end != text_.data() + pos_) {
            return fail("invalid number"), false;
        }
        return true;
    }

    bool hex4(unsigned &value)
    {
        if (pos_ + 4 > text_.size()) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            value <<= 4;
            if (IsDigit(c)) value |= c - '0';
            else if (c >= 'a' && c <= 'f') value |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') value |= c - 'A' + 10;
            else return false;
        }
        return true;
    }

    bool parseString(std::string &out)
    {
        ++pos_; // the opening quote
        while (true) {
            const std::size_t run = pos_;
            while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\\' &&
                   static_cast<unsigned char>(text_[pos_]) >= 0x20)
                ++pos_;
            out.append(text_.data() + run, pos_ - run);
            if (pos_ >= text_.size()) return fail("unterminated string"), false;
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') return --pos_, fail("control character in a string"), false;
            if (pos_ >= text_.size()) return fail("unterminated string"), false;
            switch (text_[pos_++]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned unit = 0;
                if (!hex4(unit)) return fail("invalid \\u escape"), false;
                if (unit >= 0xD800 && unit <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
                    const std::size_t save = pos_;
                    pos_ += 2;
                    unsigned low = 0;
                    if (hex4(low) && low >= 0xDC00 && low <= 0xDFFF)
                        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    else
                        pos_ = save;
                }
                if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD; // a lone surrogate
                AppendUtf8(out, unit);
                break;
            }
            default:
                return fail("invalid escape"), false;
            }
        }
    }

    std::string_view text_;
    JsonError &error_;
    std::size_t pos_ = 0;
};

} // namespace

const JsonValue *JsonValue::member(std::string_view name) const
{
    for (const auto &[key, value] : members)
        if (key == name) return &value;
    return nullptr;
}

std::optional<JsonValue> ParseJson(std::string_view text, JsonError &error)
{
    return Parser(text, error).document();
}

#include "report/engine/RtfBlocks.h"

#include "report/engine/RtfText.h"
#include "report/engine/Utf8.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <map>

namespace {

// Deeper groups are read as skipped: no template nests beyond a few dozen.
constexpr std::size_t kDeepestGroup = 200;
// No paragraph of a report holds more: longer ones are cut, so that a document of a single
// run of text cannot make a layout crawl.
constexpr std::size_t kLongestParagraph = 1 << 20;
// Nor more paragraphs and rows in a body or a cell, where memory would run out first, nor
// more cells in a row than a page has room for.
constexpr std::size_t kMostBlocks = 1 << 16;
constexpr std::size_t kMostCells = 64;

enum class Destination {
    body,
    footer,
    firstFooter,
    skipped,
    info,
    title,
    fontTable,
    picture,
    fieldInstruction,
};

// Which of a cell's, a page's or a paragraph's borders the next \brdr words describe.
enum class BorderTarget {
    none,
    cellTop,
    cellLeft,
    cellBottom,
    cellRight,
    pageTop,
    pageLeft,
    pageBottom,
    pageRight
};

// A field being read, and the depth of the group that holds it.
struct Field {
    std::string instruction;
    std::size_t depth = 0;
};

struct GroupState {
    Destination destination = Destination::body;
    Destination story = Destination::body; // or a footer: where its text goes
    RtfCharFormat chars;
    RtfParagraphFormat paragraph;
    bool inTable = false;
    int unicodeSkip = 1;
    bool fieldResult = false; // the text stands for a field computed per page: not shown
    bool starred = false;     // \* opened this group: unknown words skip it
};

// A body or footer as it is being read.
struct Story {
    std::vector<RtfBlock> blocks;
    RtfParagraph paragraph;
    bool breakBefore = false;
    RtfRow definition;
    RtfCell cell; // the cell being defined, until its \cellx
    std::vector<RtfParagraph> cellParagraphs;
    std::vector<std::vector<RtfParagraph>> cells;
    std::size_t paragraphBytes = 0;
};

int Clamped(long value, long low, long high)
{
    return static_cast<int>(std::clamp(value, low, high));
}

bool IsSkipped(std::string_view word)
{
    static constexpr std::string_view kSkipped[] = {
        "annotation",   "colortbl",          "comment",   "datastore",  "footerl", "footerr",
        "footnote",     "generator",         "header",    "headerf",    "headerl", "headerr",
        "latentstyles", "listoverridetable", "listtable", "nonshppict", "object",  "pgdsctbl",
        "rsidtbl",      "stylesheet",        "themedata", "xmlnstbl",
    };
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

// Control words that stand for a character.
bool CharacterOf(std::string_view word, char32_t &character)
{
    static const std::map<std::string_view, char32_t> kCharacters{
        {"tab", U'\t'},      {"line", 0x2028},    {"emdash", 0x2014},    {"endash", 0x2013},
        {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},   {"bullet", 0x2022},
        {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
    };
    const auto found = kCharacters.find(word);
    if (found == kCharacters.end()) return false;
    character = found->second;
    return true;
}

class Reader {
public:
    explicit Reader(std::string_view rtf) : rtf_(rtf) {}

    RtfBlocks read()
    {
        while (pos_ < rtf_.size())
            step();
        // A last paragraph without its mark is kept.
        if (!body_.paragraph.runs.empty()) endParagraph(body_, false);
        blocks_.body = std::move(body_.blocks);
        blocks_.footer = std::move(footer_.blocks);
        blocks_.firstFooter = std::move(firstFooter_.blocks);
        return std::move(blocks_);
    }

private:
    void step()
    {
        const char c = rtf_[pos_];
        if (c == '{') {
            ++pos_;
            openGroup();
            return;
        }
        if (c == '}') {
            ++pos_;
            closeGroup();
            return;
        }
        if (c == '\\') {
            controlSequence();
            return;
        }
        if (passedOver()) {
            // A picture's hex data or a skipped group's text: taken in one stretch.
            const std::size_t end = std::min(rtf_.find_first_of("\\{}", pos_), rtf_.size());
            if (state_.destination == Destination::picture)
                pictureHex_.append(rtf_.substr(pos_, end - pos_));
            pos_ = end;
            return;
        }
        ++pos_;
        if (static_cast<unsigned char>(c) < 0x20) return; // the markup's own line breaks
        character(RtfCodePageCharacter(static_cast<unsigned char>(c), codePage()));
    }

    bool passedOver() const
    {
        return state_.destination == Destination::skipped ||
               state_.destination == Destination::info ||
               state_.destination == Destination::picture;
    }

    void openGroup()
    {
        if (stack_.size() >= kDeepestGroup) {
            // Too deep to follow: the group and everything in it are passed over.
            ++tooDeep_;
            if (tooDeep_ == 1) {
                stack_.push_back(state_);
                state_.destination = Destination::skipped;
            }
            return;
        }
        if (tooDeep_ > 0) {
            ++tooDeep_;
            return;
        }
        stack_.push_back(state_);
        state_.starred = false;
        atGroupStart_ = true;
    }

    void closeGroup()
    {
        atGroupStart_ = false;
        if (tooDeep_ > 1) {
            --tooDeep_;
            return;
        }
        tooDeep_ = 0;
        if (stack_.empty()) return;
        const Destination closed = state_.destination;
        state_ = stack_.back();
        stack_.pop_back();
        if (closed == Destination::picture && state_.destination != Destination::picture)
            endPicture();
        if (closed == Destination::fontTable && state_.destination != Destination::fontTable)
            fontBeingDefined_ = -1;
        if (!fields_.empty() && stack_.size() < fields_.back().depth) fields_.pop_back();
    }

    void controlSequence()
    {
        if (pos_ + 1 >= rtf_.size()) {
            pos_ = rtf_.size();
            return;
        }
        const bool groupStart = atGroupStart_;
        atGroupStart_ = false;
        const char next = rtf_[pos_ + 1];
        if (RtfIsLetter(next)) {
            ++pos_;
            controlWord(ReadRtfControlWord(rtf_, pos_), groupStart);
            return;
        }
        pos_ += 2;
        switch (next) {
        case '\'': {
            const int high = pos_ < rtf_.size() ? RtfHexValue(rtf_[pos_]) : -1;
            const int low = pos_ + 1 < rtf_.size() ? RtfHexValue(rtf_[pos_ + 1]) : -1;
            if (high < 0 || low < 0) return;
            pos_ += 2;
            if (!passedOver())
                character(
                    RtfCodePageCharacter(static_cast<unsigned char>(high * 16 + low), codePage()));
            return;
        }
        case '\\':
        case '{':
        case '}':
            if (!passedOver()) character(static_cast<unsigned char>(next));
            return;
        case '~':
            if (!passedOver()) character(0x00A0);
            return;
        case '_':
            if (!passedOver()) character(0x2011);
            return;
        case '*':
            if (groupStart) {
                state_.starred = true;
                atGroupStart_ = true; // the destination's word follows
            }
            return;
        case '\r':
        case '\n':
            if (!passedOver()) paragraphMark();
            return;
        default: // \- (an optional hyphen), \| and \: carry nothing shown
            return;
        }
    }

    void controlWord(const RtfControlWord &w, bool groupStart)
    {
        const std::string_view word = w.word;
        const long value = w.parameter;
        if (groupStart && destination(word)) return;
        if (groupStart && state_.starred) {
            // A destination this reader does not know.
            state_.destination = Destination::skipped;
            return;
        }
        if (word == "bin") {
            // Binary data: its bytes are not markup.
            const auto length = static_cast<std::size_t>(std::max(0L, value));
            pos_ = std::min(rtf_.size(), pos_ + length);
            return;
        }
        if (state_.destination == Destination::picture) {
            picture(word, value);
            return;
        }
        if (state_.destination == Destination::fontTable) {
            if (word == "f") fontBeingDefined_ = value;
            if (word == "fcharset" && fontBeingDefined_ >= 0 && fontBeingDefined_ < 4096)
                fontCharsets_[fontBeingDefined_] = static_cast<int>(value);
            return;
        }
        if (passedOver()) return;
        if (word == "u" && w.hasParameter) {
            const long code = value < 0 ? value + 65536 : value;
            character(code > 0 && code < 0x110000 ? static_cast<char32_t>(code) : 0xFFFD);
            fallbackToSkip_ = state_.unicodeSkip;
            return;
        }
        fallbackToSkip_ = 0;
        if (char32_t c = 0; CharacterOf(word, c)) {
            character(c);
            return;
        }
        if (word == "par") {
            paragraphMark();
            return;
        }
        if (documentWord(word, value) || characterWord(word, w.hasParameter, value) ||
            paragraphWord(word, value) || tableWord(word, value) || borderWord(word, value))
            return;
        if (word == "cell") {
            Story &story = this->story();
            endParagraph(story, true);
            if (story.cells.size() < kMostCells)
                story.cells.push_back(std::move(story.cellParagraphs));
            else
                blocks_.cut = true;
            story.cellParagraphs.clear();
        } else if (word == "row") {
            endRow();
        } else if (word == "page") {
            Story &story = this->story();
            if (!story.paragraph.runs.empty()) endParagraph(story, false);
            story.breakBefore = true;
        } else if (word == "uc") {
            state_.unicodeSkip = Clamped(value, 0, 8);
        }
    }

    // Opens a destination named at a group's start; false when the word is not one.
    bool destination(std::string_view word)
    {
        if (word == "fonttbl") {
            state_.destination = Destination::fontTable;
        } else if (word == "info") {
            state_.destination = Destination::info;
        } else if (word == "title" && state_.destination == Destination::info) {
            state_.destination = Destination::title;
        } else if (word == "footer" && !passedOver()) {
            state_.destination = state_.story = Destination::footer;
            resetFormats();
        } else if (word == "footerf" && !passedOver()) {
            state_.destination = state_.story = Destination::firstFooter;
            resetFormats();
        } else if (word == "pict" && !passedOver()) {
            state_.destination = Destination::picture;
            picture_ = {};
            pictureHex_.clear();
            pictureWidth_ = pictureHeight_ = 0;
        } else if (word == "shppict" && !passedOver()) {
            // Its picture is the one shown; \nonshppict's is the fallback.
        } else if (word == "field" && !passedOver()) {
            if (fields_.size() < kDeepestGroup)
                fields_.push_back({.instruction = {}, .depth = stack_.size()});
        } else if (word == "fldinst" && !fields_.empty()) {
            state_.destination = Destination::fieldInstruction;
        } else if (word == "fldrslt" && !fields_.empty()) {
            fieldResult();
        } else if (IsSkipped(word)) {
            state_.destination = Destination::skipped;
        } else {
            return false;
        }
        return true;
    }

    void resetFormats()
    {
        state_.chars = RtfCharFormat{.font = defaultFont_};
        state_.paragraph = {};
        state_.inTable = false;
    }

    // A field's result: PAGE and NUMPAGES are computed per page, the others read as their
    // last result.
    void fieldResult()
    {
        std::string instruction = fields_.back().instruction;
        const std::size_t first = instruction.find_first_not_of(' ');
        instruction = first == std::string::npos ? std::string() : instruction.substr(first);
        const std::string name = instruction.substr(0, instruction.find(' '));
        RtfRun::Field field = RtfRun::Field::none;
        if (name == "PAGE") field = RtfRun::Field::page;
        if (name == "NUMPAGES" || name == "SECTIONPAGES") field = RtfRun::Field::pageCount;
        if (field == RtfRun::Field::none) return;
        state_.fieldResult = true;
        story().paragraph.runs.push_back(
            {.text = {}, .format = state_.chars, .field = field, .png = {}});
    }

    bool documentWord(std::string_view word, long value)
    {
        RtfPage &page = blocks_.page;
        constexpr long kLongest = 31680 * 4; // no page is larger than 88 inches
        if (word == "ansicpg")
            documentCodePage_ = static_cast<int>(value);
        else if (word == "deff")
            defaultFont_ = Clamped(value, 0, 4095);
        else if (word == "paperw")
            page.width = Clamped(value, 1440, kLongest);
        else if (word == "paperh")
            page.height = Clamped(value, 1440, kLongest);
        else if (word == "margl")
            page.marginLeft = Clamped(value, 0, kLongest);
        else if (word == "margr")
            page.marginRight = Clamped(value, 0, kLongest);
        else if (word == "margt")
            page.marginTop = Clamped(value, 0, kLongest);
        else if (word == "margb")
            page.marginBottom = Clamped(value, 0, kLongest);
        else if (word == "footery")
            page.footerDistance = Clamped(value, 0, kLongest);
        else if (word == "titlepg")
            page.titlePage = true;
        else
            return false;
        return true;
    }

    bool characterWord(std::string_view word, bool hasParameter, long value)
    {
        RtfCharFormat &chars = state_.chars;
        const bool on = !hasParameter || value != 0;
        if (word == "plain")
            chars = RtfCharFormat{.font = defaultFont_};
        else if (word == "f")
            chars.font = Clamped(value, 0, 4095);
        else if (word == "fs")
            chars.halfPoints = Clamped(hasParameter ? value : 24, 2, 3276);
        else if (word == "b")
            chars.bold = on;
        else if (word == "i")
            chars.italic = on;
        else if (word == "ul")
            chars.underline = on;
        else if (word == "ulnone")
            chars.underline = false;
        else if (word == "sub")
            chars.shift = RtfCharFormat::Shift::sub;
        else if (word == "super")
            chars.shift = RtfCharFormat::Shift::super;
        else if (word == "nosupersub")
            chars.shift = RtfCharFormat::Shift::none;
        else
            return false;
        return true;
    }

    bool paragraphWord(std::string_view word, long value)
    {
        using Alignment = RtfParagraphFormat::Alignment;
        RtfParagraphFormat &paragraph = state_.paragraph;
        constexpr long kWidest = 31680;
        if (word == "pard") {
            paragraph = {};
            state_.inTable = false;
        } else if (word == "intbl")
            state_.inTable = true;
        else if (word == "ql")
            paragraph.alignment = Alignment::left;
        else if (word == "qc")
            paragraph.alignment = Alignment::center;
        else if (word == "qr")
            paragraph.alignment = Alignment::right;
        else if (word == "qj")
            paragraph.alignment = Alignment::justify;
        else if (word == "li")
            paragraph.leftIndent = Clamped(value, -kWidest, kWidest);
        else if (word == "ri")
            paragraph.rightIndent = Clamped(value, -kWidest, kWidest);
        else if (word == "fi")
            paragraph.firstIndent = Clamped(value, -kWidest, kWidest);
        else if (word == "sb")
            paragraph.spaceBefore = Clamped(value, 0, kWidest);
        else if (word == "sa")
            paragraph.spaceAfter = Clamped(value, 0, kWidest);
        else if (word == "sl")
            paragraph.lineSpacing = Clamped(value, -kWidest, kWidest);
        else if (word == "slmult")
            paragraph.lineMultiple = value != 0;
        else if (word == "keepn")
            paragraph.keepWithNext = true;
        else if (word == "pagebb")
            paragraph.pageBreakBefore = true;
        else if (word == "tqr")
            pendingTab_ = {.position = 0, .right = true, .center = false};
        else if (word == "tqc")
            pendingTab_ = {.position = 0, .right = false, .center = true};
        else if (word == "tx") {
            if (paragraph.tabs.size() < 64) {
                pendingTab_.position = Clamped(value, 0, kWidest);
                paragraph.tabs.push_back(pendingTab_);
            }
            pendingTab_ = {};
        } else
            return false;
        return true;
    }

    bool tableWord(std::string_view word, long value)
    {
        Story &story = this->story();
        RtfRow &row = story.definition;
        constexpr long kWidest = 31680;
        if (word == "trowd") {
            row = {};
            story.cell = {};
        } else if (word == "trleft")
            row.left = Clamped(value, -kWidest, kWidest);
        else if (word == "trgaph")
            row.gap = Clamped(value, 0, kWidest);
        else if (word == "trrh")
            row.height = Clamped(value, -kWidest, kWidest);
        else if (word == "trhdr")
            row.header = true;
        else if (word == "trkeep")
            row.keep = true;
        else if (word == "clvmgf")
            story.cell.merge = RtfCell::Merge::first;
        else if (word == "clvmrg")
            story.cell.merge = RtfCell::Merge::continued;
        else if (word == "clvertalt")
            story.cell.alignment = RtfCell::Alignment::top;
        else if (word == "clvertalc")
            story.cell.alignment = RtfCell::Alignment::center;
        else if (word == "clvertalb")
            story.cell.alignment = RtfCell::Alignment::bottom;
        else if (word == "clbrdrt")
            border_ = BorderTarget::cellTop;
        else if (word == "clbrdrl")
            border_ = BorderTarget::cellLeft;
        else if (word == "clbrdrb")
            border_ = BorderTarget::cellBottom;
        else if (word == "clbrdrr")
            border_ = BorderTarget::cellRight;
        else if (word == "cellx") {
            story.cell.right = Clamped(value, -kWidest, kWidest);
            if (row.cells.size() < kMostCells) row.cells.push_back(std::move(story.cell));
            story.cell = {};
            border_ = BorderTarget::none;
        } else
            return false;
        return true;
    }

    bool borderWord(std::string_view word, long value)
    {
        RtfPage &page = blocks_.page;
        if (word == "pgbrdrt")
            border_ = BorderTarget::pageTop;
        else if (word == "pgbrdrl")
            border_ = BorderTarget::pageLeft;
        else if (word == "pgbrdrb")
            border_ = BorderTarget::pageBottom;
        else if (word == "pgbrdrr")
            border_ = BorderTarget::pageRight;
        else if (word == "brdrnone" || word == "brdrnil")
            setBorderWidth(0);
        else if (word == "brdrw")
            setBorderWidth(Clamped(value, 1, 300));
        else if (word.starts_with("brdr") && word.size() > 4) {
            // A line of some style: drawn single, of the width given or a thin one.
            if (RtfBorder *border = target(); border && border->width == 0) border->width = 10;
        } else if (word == "brsp") {
            const int space = Clamped(value, 0, 31680);
            if (border_ == BorderTarget::pageTop) page.spaceTop = space;
            if (border_ == BorderTarget::pageLeft) page.spaceLeft = space;
            if (border_ == BorderTarget::pageBottom) page.spaceBottom = space;
            if (border_ == BorderTarget::pageRight) page.spaceRight = space;
        } else
            return false;
        return true;
    }

    RtfBorder *target()
    {
        RtfCell &cell = story().cell;
        RtfPage &page = blocks_.page;
        switch (border_) {
        case BorderTarget::none:
            return nullptr;
        case BorderTarget::cellTop:
            return &cell.top;
        case BorderTarget::cellLeft:
            return &cell.left;
        case BorderTarget::cellBottom:
            return &cell.bottom;
        case BorderTarget::cellRight:
            return &cell.rightBorder;
        case BorderTarget::pageTop:
            return &page.borderTop;
        case BorderTarget::pageLeft:
            return &page.borderLeft;
        case BorderTarget::pageBottom:
            return &page.borderBottom;
        case BorderTarget::pageRight:
            return &page.borderRight;
        }
        return nullptr;
    }

    void setBorderWidth(int width)
    {
        if (RtfBorder *border = target()) border->width = width;
    }

    void picture(std::string_view word, long value)
    {
        if (word == "picwgoal")
            picture_.widthTwips = Clamped(value, 0, 31680);
        else if (word == "pichgoal")
            picture_.heightTwips = Clamped(value, 0, 31680);
        else if (word == "picw")
            pictureWidth_ = Clamped(value, 0, INT_MAX);
        else if (word == "pich")
            pictureHeight_ = Clamped(value, 0, INT_MAX);
    }

    void endPicture()
    {
        std::string bytes;
        bytes.reserve(pictureHex_.size() / 2);
        int high = -1;
        for (const char c : pictureHex_) {
            const int digit = RtfHexValue(c);
            if (digit < 0) continue;
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>(high * 16 + digit));
                high = -1;
            }
        }
        pictureHex_.clear();
        if (bytes.empty() || passedOver()) return;
        RtfRun run = std::move(picture_);
        run.png = std::move(bytes);
        // Without a size to show it at, a picture's pixels are taken at 96 per inch.
        if (run.widthTwips == 0) run.widthTwips = std::min(pictureWidth_, 2112) * 15;
        if (run.heightTwips == 0) run.heightTwips = std::min(pictureHeight_, 2112) * 15;
        run.format = state_.chars;
        story().paragraph.runs.push_back(std::move(run));
        picture_ = {};
    }

    int codePage() const
    {
        const auto charset = fontCharsets_.find(state_.chars.font);
        if (charset == fontCharsets_.end() || charset->second == 1) return documentCodePage_;
        return charset->second == 204 ? 1251 : 1252;
    }

    Story &story()
    {
        switch (state_.story) {
        case Destination::footer:
            return footer_;
        case Destination::firstFooter:
            return firstFooter_;
        default:
            return body_;
        }
    }

    void character(char32_t c)
    {
        if (fallbackToSkip_ > 0) {
            --fallbackToSkip_;
            return;
        }
        if (state_.destination == Destination::fontTable) {
            if (fontBeingDefined_ < 0 || fontBeingDefined_ >= 4096) return;
            if (blocks_.fonts.size() <= static_cast<std::size_t>(fontBeingDefined_))
                blocks_.fonts.resize(static_cast<std::size_t>(fontBeingDefined_) + 1);
            std::string &name = blocks_.fonts[static_cast<std::size_t>(fontBeingDefined_)];
            if (c == U';')
                fontBeingDefined_ = -1;
            else if (name.size() < 256)
                AppendUtf8(name, c);
            return;
        }
        if (state_.destination == Destination::title) {
            if (blocks_.title.size() < 1024) AppendUtf8(blocks_.title, c);
            return;
        }
        if (state_.destination == Destination::fieldInstruction) {
            if (fields_.back().instruction.size() < 256) AppendUtf8(fields_.back().instruction, c);
            return;
        }
        if (state_.fieldResult) return; // the page's number stands instead
        Story &story = this->story();
        if (story.paragraphBytes >= kLongestParagraph) {
            blocks_.cut = true;
            return;
        }
        std::vector<RtfRun> &runs = story.paragraph.runs;
        if (runs.empty() || runs.back().field != RtfRun::Field::none || !runs.back().png.empty() ||
            !(runs.back().format == state_.chars))
            runs.push_back({.text = {}, .format = state_.chars, .png = {}});
        const std::size_t before = runs.back().text.size();
        AppendUtf8(runs.back().text, c);
        story.paragraphBytes += runs.back().text.size() - before;
    }

    void paragraphMark() { endParagraph(story(), state_.inTable); }

    void endParagraph(Story &story, bool inTable)
    {
        RtfParagraph paragraph = std::move(story.paragraph);
        story.paragraph = {};
        story.paragraphBytes = 0;
        paragraph.format = state_.paragraph;
        paragraph.mark = state_.chars;
        if (story.breakBefore) {
            paragraph.format.pageBreakBefore = true;
            story.breakBefore = false;
        }
        std::vector<RtfParagraph> &cell = story.cellParagraphs;
        if (inTable ? cell.size() >= kMostBlocks : story.blocks.size() >= kMostBlocks)
            blocks_.cut = true;
        else if (inTable)
            cell.push_back(std::move(paragraph));
        else
            story.blocks.emplace_back(std::move(paragraph));
    }

    void endRow()
    {
        Story &story = this->story();
        if (!story.paragraph.runs.empty()) endParagraph(story, true);
        if (!story.cellParagraphs.empty() && story.cells.size() < kMostCells) {
            story.cells.push_back(std::move(story.cellParagraphs));
            story.cellParagraphs.clear();
        }
        RtfRow row = story.definition;
        for (std::size_t i = 0; i < row.cells.size() && i < story.cells.size(); ++i)
            row.cells[i].paragraphs = std::move(story.cells[i]);
        story.cells.clear();
        if (row.cells.empty()) return;
        if (story.blocks.size() < kMostBlocks)
            story.blocks.emplace_back(std::move(row));
        else
            blocks_.cut = true;
    }

    std::string_view rtf_;
    std::size_t pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    std::size_t tooDeep_ = 0;
    bool atGroupStart_ = false;
    int fallbackToSkip_ = 0;
    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    long fontBeingDefined_ = -1;
    std::map<long, int> fontCharsets_;
    BorderTarget border_ = BorderTarget::none;
    RtfTab pendingTab_;
    RtfRun picture_;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    std::string pictureHex_;
    std::vector<Field> fields_;
    Story body_, footer_, firstFooter_;
    RtfBlocks blocks_;
};

} // namespace

RtfBlocks ReadRtfBlocks(std::string_view rtf)
{
    return Reader(rtf).read();
}

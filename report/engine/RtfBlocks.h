#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// An RTF document read as a word processor lays it out: the page, the body as paragraphs
// and table rows, and the footers. Only what the report's template and the engine's
// insertions use is read (paragraph and character formatting, tables with borders and
// vertically merged cells, PNG pictures, the page-number fields, the page border); the
// rest of the markup is passed over. Lengths are in twips, as in the markup.

struct RtfCharFormat {
    enum class Shift { none, sub, super };
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Shift shift = Shift::none;

    bool operator==(const RtfCharFormat &) const = default;
};

// A run of text in one format, a picture, or a field whose value depends on the page.
struct RtfRun {
    enum class Field { none, page, pageCount };
    std::string text; // UTF-8; '\t' a tab, U+2028 a line break
    RtfCharFormat format;
    Field field = Field::none;
    std::string png; // a picture, with its size
    int widthTwips = 0;
    int heightTwips = 0;
};

struct RtfTab {
    int position = 0;
    bool right = false;
    bool center = false;
};

struct RtfParagraphFormat {
    enum class Alignment { left, center, right, justify };
    Alignment alignment = Alignment::left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // \sl: 0 single; with `lineMultiple` in 240ths of a line
    bool lineMultiple = false;
    bool keepWithNext = false;
    bool pageBreakBefore = false;
    std::vector<RtfTab> tabs;
};

struct RtfParagraph {
    RtfParagraphFormat format;
    std::vector<RtfRun> runs;
    RtfCharFormat mark; // of the paragraph's mark: an empty paragraph is a line of it
};

struct RtfBorder {
    int width = 0; // none when 0
};

struct RtfCell {
    enum class Merge { none, first, continued };
    enum class Alignment { top, center, bottom };
    int right = 0; // \cellx, from the left margin
    RtfBorder top, left, bottom, rightBorder;
    Merge merge = Merge::none;
    Alignment alignment = Alignment::top;
    std::vector<RtfParagraph> paragraphs;
};

struct RtfRow {
    int left = 0;   // \trleft
    int gap = 0;    // \trgaph: half the space between the cells' text
    int height = 0; // \trrh: at least this; below 0, exactly minus this
    bool header = false;
    bool keep = false; // not split across pages
    std::vector<RtfCell> cells;
};

using RtfBlock = std::variant<RtfParagraph, RtfRow>;

struct RtfPage {
    int width = 12240;
    int height = 15840;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    int footerDistance = 720; // \footery: from the page's bottom edge
    bool titlePage = false;   // the first page has a footer of its own
    // The page border's lines and their distances from the text (the bottom one from the
    // footer); a line of width 0 is not drawn.
    RtfBorder borderTop, borderLeft, borderBottom, borderRight;
    int spaceTop = 0, spaceLeft = 0, spaceBottom = 0, spaceRight = 0;
};

struct RtfBlocks {
    RtfPage page;
    std::vector<std::string> fonts; // by number; empty names where not defined
    std::string title;
    std::vector<RtfBlock> body;
    std::vector<RtfBlock> footer;
    std::vector<RtfBlock> firstFooter; // \footerf
    bool cut = false; // the document was larger than is read, and its end is missing
};

// Reads any bytes; whatever is not well-formed is read leniently, groups nested deeper than
// a sane limit are passed over, and what goes beyond the limits of a sane document is cut.
RtfBlocks ReadRtfBlocks(std::string_view rtf);

#include "report/ReportPages.h"

#include "report/engine/RtfBlocks.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

// Qt's own: the dots per inch of the screen, in which a text layout takes tab positions,
// fixed line heights and pictures' sizes even on another device.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace {

// What the pages are laid out for: the document, the device and its dots per twip, and the
// page whose fields are being filled.
struct Context {
    const RtfBlocks &blocks;
    QPaintDevice *device;
    double dotsPerTwip;
    int page = 1;
    int pages = 1;

    double dots(double twips) const { return twips * dotsPerTwip; }
    // The same in the screen's dots, where Qt's layout wants them.
    double screenDots(double twips) const
    {
        return dots(twips) * qt_defaultDpiY() / device->logicalDpiY();
    }
};

QFont FontOf(const RtfCharFormat &format, const Context &context)
{
    const std::vector<std::string> &fonts = context.blocks.fonts;
    const auto index = static_cast<std::size_t>(format.font);
    QFont font(index < fonts.size() && !fonts[index].empty() ? QString::fromStdString(fonts[index])
                                                             : QStringLiteral("Times New Roman"));
    font.setPointSizeF(format.halfPoints / 2.0);
    font.setBold(format.bold);
    font.setItalic(format.italic);
    font.setUnderline(format.underline);
    return font;
}

QTextCharFormat CharFormatOf(const RtfCharFormat &format, const Context &context)
{
    QTextCharFormat chars;
    chars.setFont(FontOf(format, context), QTextCharFormat::FontPropertiesAll);
    if (format.shift == RtfCharFormat::Shift::sub)
        chars.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (format.shift == RtfCharFormat::Shift::super)
        chars.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    return chars;
}

QTextBlockFormat BlockFormatOf(const RtfParagraphFormat &format, const Context &context)
{
    using Alignment = RtfParagraphFormat::Alignment;
    QTextBlockFormat block;
    block.setAlignment(format.alignment == Alignment::center    ? Qt::AlignHCenter
                       : format.alignment == Alignment::right   ? Qt::AlignRight
                       : format.alignment == Alignment::justify ? Qt::AlignJustify
                                                                : Qt::AlignLeft);
    block.setLeftMargin(context.dots(std::max(0, format.leftIndent)));
    block.setRightMargin(context.dots(std::max(0, format.rightIndent)));
    block.setTextIndent(context.dots(format.firstIndent));
    block.setTopMargin(context.dots(format.spaceBefore));
    block.setBottomMargin(context.dots(format.spaceAfter));
    if (format.lineSpacing != 0) {
        if (format.lineMultiple)
            block.setLineHeight(std::abs(format.lineSpacing) * 100.0 / 240,
                                QTextBlockFormat::ProportionalHeight);
        else if (format.lineSpacing > 0)
            block.setLineHeight(context.screenDots(format.lineSpacing),
                                QTextBlockFormat::MinimumHeight);
        else
            block.setLineHeight(context.screenDots(-format.lineSpacing),
                                QTextBlockFormat::FixedHeight);
    }
    QList<QTextOption::Tab> tabs;
    for (const RtfTab &tab : format.tabs)
        tabs.append(QTextOption::Tab(context.screenDots(tab.position),
                                     tab.right    ? QTextOption::RightTab
                                     : tab.center ? QTextOption::CenterTab
                                                  : QTextOption::LeftTab));
    block.setTabPositions(tabs);
    return block;
}

// Paragraphs laid out `width` dots wide.
std::unique_ptr<QTextDocument> LaidOut(const std::vector<RtfParagraph> &paragraphs, double width,
                                       const Context &context)
{
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(context.device);
    document->setDocumentMargin(0);
    document->setDefaultFont(FontOf({.font = 0}, context));
    document->setUseDesignMetrics(true);
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(context.screenDots(720));
    document->setDefaultTextOption(option);
    document->setTextWidth(std::max(1.0, width));
    QTextCursor cursor(document.get());
    int pictures = 0;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const RtfParagraph &paragraph = paragraphs[i];
        // The paragraph's line breaks begin blocks of their own: Qt's layout misplaces text
        // after a right tab on a line a break ends. The space before goes to the first
        // block, the space after to the last, the first line's indent to the first.
        std::vector<std::vector<std::pair<const RtfRun *, QString>>> lines(1);
        for (const RtfRun &run : paragraph.runs) {
            if (!run.png.empty()) {
                lines.back().emplace_back(&run, QString());
                continue;
            }
            const QString text = run.field == RtfRun::Field::page ? QString::number(context.page)
                                 : run.field == RtfRun::Field::pageCount
                                     ? QString::number(context.pages)
                                     : QString::fromStdString(run.text);
            const QStringList parts = text.split(QChar::LineSeparator);
            for (qsizetype k = 0; k < parts.size(); ++k) {
                if (k > 0) lines.emplace_back();
                lines.back().emplace_back(&run, parts[k]);
            }
        }
        const QTextBlockFormat whole = BlockFormatOf(paragraph.format, context);
        const QTextCharFormat mark = CharFormatOf(paragraph.mark, context);
        for (std::size_t j = 0; j < lines.size(); ++j) {
            QTextBlockFormat block = whole;
            if (j > 0) {
                block.setTopMargin(0);
                block.setTextIndent(0);
            }
            if (j + 1 < lines.size()) block.setBottomMargin(0);
            if (i == 0 && j == 0) {
                cursor.setBlockFormat(block);
                cursor.setBlockCharFormat(mark);
            } else {
                cursor.insertBlock(block, mark);
            }
            for (const auto &[run, text] : lines[j]) {
                if (run->png.empty()) {
                    cursor.insertText(text, CharFormatOf(run->format, context));
                    continue;
                }
                const QImage picture = QImage::fromData(
                    reinterpret_cast<const uchar *>(run->png.data()),
                    static_cast<int>(std::min<std::size_t>(run->png.size(), INT_MAX)));
                if (picture.isNull()) continue;
                const QUrl name(QStringLiteral("picture:%1").arg(pictures++));
                document->addResource(QTextDocument::ImageResource, name, picture);
                QTextImageFormat image;
                image.setName(name.toString());
                image.setWidth(context.screenDots(run->widthTwips));
                image.setHeight(context.screenDots(run->heightTwips));
                cursor.insertImage(image);
            }
        }
    }
    return document;
}

// A table's rows laid out: each cell's text in its column, the rows' heights, and how many
// rows a vertically merged cell spans.
struct LaidCell {
    const RtfCell *cell;
    double left;
    double width;
    std::unique_ptr<QTextDocument> text;
    double before = 0;    // the space before its first paragraph
    double height = 0;    // of its text with the space around
    int span = 1;         // rows, its own first
    bool covered = false; // by a merged cell above
};

// Qt's layout leaves out the space before a document's first paragraph and after its last:
// it is kept here, in twips.
struct Spacing {
    int before = 0;
    int after = 0;
};
Spacing SpacingOf(const std::vector<RtfParagraph> &paragraphs)
{
    if (paragraphs.empty()) return {};
    return {paragraphs.front().format.spaceBefore, paragraphs.back().format.spaceAfter};
}

struct LaidRow {
    const RtfRow *row;
    std::vector<LaidCell> cells;
    double height = 0;
};

struct LaidTable {
    std::vector<LaidRow> rows;
    int headerRows = 0;
};

LaidTable LaidOutTable(const std::vector<const RtfRow *> &rows, double left, const Context &context)
{
    LaidTable table;
    for (const RtfRow *row : rows) {
        LaidRow laid{.row = row, .cells = {}, .height = 0};
        int edge = row->left;
        for (const RtfCell &cell : row->cells) {
            const double cellLeft = left + context.dots(edge);
            const double width = std::max(0.0, context.dots(cell.right - edge));
            edge = std::max(edge, cell.right);
            const double inner = width - 2 * context.dots(row->gap);
            const Spacing spacing = SpacingOf(cell.paragraphs);
            auto text = LaidOut(cell.paragraphs, inner, context);
            const double height =
                text->size().height() + context.dots(spacing.before + spacing.after);
            laid.cells.push_back({.cell = &cell,
                                  .left = cellLeft,
                                  .width = width,
                                  .text = std::move(text),
                                  .before = context.dots(spacing.before),
                                  .height = height});
        }
        table.rows.push_back(std::move(laid));
    }
    while (table.headerRows < static_cast<int>(table.rows.size()) &&
           table.rows[static_cast<std::size_t>(table.headerRows)].row->header)
        ++table.headerRows;

    // A merged cell spans the rows below whose cell at its right edge continues it.
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (LaidCell &cell : table.rows[r].cells) {
            if (cell.cell->merge != RtfCell::Merge::first) continue;
            for (std::size_t below = r + 1; below < table.rows.size(); ++below) {
                auto &next = table.rows[below].cells;
                const auto continued = std::find_if(next.begin(), next.end(), [&](auto &c) {
                    return c.cell->right == cell.cell->right &&
                           c.cell->merge == RtfCell::Merge::continued && !c.covered;
                });
                if (continued == next.end()) break;
                continued->covered = true;
                ++cell.span;
            }
        }

    for (LaidRow &row : table.rows) {
        double content = 0;
        for (const LaidCell &cell : row.cells)
            if (cell.span == 1 && !cell.covered) content = std::max(content, cell.height);
        const int height = row.row->height;
        row.height = height < 0   ? context.dots(-height)
                     : height > 0 ? std::max(content, context.dots(height))
                                  : content;
    }
    // What a merged cell holds beyond its rows goes to its last row.
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (const LaidCell &cell : table.rows[r].cells) {
            if (cell.span < 2) continue;
            const std::size_t last = std::min(table.rows.size() - 1, r + cell.span - 1);
            double spanned = 0;
            for (std::size_t i = r; i <= last; ++i)
                spanned += table.rows[i].height;
            const double missing = cell.height - spanned;
            if (missing > 0 && table.rows[last].row->height >= 0)
                table.rows[last].height += missing;
        }
    return table;
}

void DrawLine(QPainter &painter, QPointF from, QPointF to, const RtfBorder &border,
              const Context &context)
{
    if (border.width <= 0) return;
    QPen pen(Qt::black, context.dots(border.width));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(from, to);
}

// Rows `first` to `last` of `table`, the first at `top`.
void DrawRows(QPainter &painter, const LaidTable &table, int first, int last, double top,
              const Context &context)
{
    std::vector<double> tops;
    double y = top;
    for (int r = first; r <= last; ++r) {
        tops.push_back(y);
        y += table.rows[static_cast<std::size_t>(r)].height;
    }
    for (int r = first; r <= last; ++r) {
        const LaidRow &row = table.rows[static_cast<std::size_t>(r)];
        for (const LaidCell &cell : row.cells) {
            if (cell.covered) continue;
            const int end = std::min(last, r + cell.span - 1);
            const double cellTop = tops[static_cast<std::size_t>(r - first)];
            const double bottom = tops[static_cast<std::size_t>(end - first)] +
                                  table.rows[static_cast<std::size_t>(end)].height;
            const double height = bottom - cellTop;
            const double textHeight = cell.height;
            const double shift =
                cell.cell->alignment == RtfCell::Alignment::center   ? (height - textHeight) / 2
                : cell.cell->alignment == RtfCell::Alignment::bottom ? height - textHeight
                                                                     : 0;
            const double left = cell.left + context.dots(row.row->gap);
            painter.save();
            painter.translate(left, cellTop + std::max(0.0, shift) + cell.before);
            cell.text->drawContents(&painter);
            painter.restore();

            // The bottom line is the last spanned cell's.
            const RtfCell *lastCell = cell.cell;
            if (end > r)
                for (const LaidCell &below : table.rows[static_cast<std::size_t>(end)].cells)
                    if (below.cell->right == cell.cell->right) lastCell = below.cell;
            const double right = cell.left + cell.width;
            DrawLine(painter, {cell.left, cellTop}, {right, cellTop}, cell.cell->top, context);
            DrawLine(painter, {cell.left, bottom}, {right, bottom}, lastCell->bottom, context);
            DrawLine(painter, {cell.left, cellTop}, {cell.left, bottom}, cell.cell->left, context);
            DrawLine(painter, {right, cellTop}, {right, bottom}, cell.cell->rightBorder, context);
        }
    }
}

// What the pages are made of: a slice of a paragraph, whole lines from `top` to `bottom` of
// its layout, or rows of a table that stay together.
struct Unit {
    double height = 0;
    bool keepWithNext = false;
    bool breakBefore = false;
    QTextDocument *paragraph = nullptr;
    double before = 0; // space above its first line
    double top = 0;
    double bottom = 0;
    const LaidTable *table = nullptr;
    int firstRow = 0;
    int lastRow = 0;
};

// A body or a footer laid out as units, with what they are drawn from.
struct Story {
    std::vector<std::unique_ptr<QTextDocument>> paragraphs;
    std::vector<std::unique_ptr<LaidTable>> tables;
    std::vector<Unit> units;

    double height() const
    {
        double sum = 0;
        for (const Unit &unit : units)
            sum += unit.height;
        return sum;
    }
};

void AddParagraph(Story &story, const RtfParagraph &paragraph, double width, const Context &context)
{
    story.paragraphs.push_back(LaidOut({paragraph}, width, context));
    QTextDocument &document = *story.paragraphs.back();
    const double height = document.size().height();
    // Lines, each a unit; the space before the paragraph goes with its first line, the space
    // after with its last.
    std::vector<double> breaks{0};
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout) continue;
        const double origin = layout->position().y();
        for (int i = 0; i < layout->lineCount(); ++i)
            if (block != document.begin() || i > 0)
                breaks.push_back(origin + layout->lineAt(i).y());
    }
    breaks.push_back(height);
    const std::size_t lines = breaks.size() - 1;
    for (std::size_t i = 0; i < lines; ++i) {
        Unit unit;
        unit.paragraph = &document;
        unit.top = breaks[i];
        unit.bottom = std::max(breaks[i], breaks[i + 1]);
        unit.height = unit.bottom - unit.top;
        if (i == 0) {
            unit.before = context.dots(paragraph.format.spaceBefore);
            unit.height += unit.before;
        }
        if (i + 1 == lines) unit.height += context.dots(paragraph.format.spaceAfter);
        // No line alone at a page's foot or head, and a heading stays with what follows.
        unit.keepWithNext = (lines > 1 && (i == 0 || i + 2 == lines)) ||
                            (i + 1 == lines && paragraph.format.keepWithNext);
        unit.breakBefore = i == 0 && paragraph.format.pageBreakBefore;
        story.units.push_back(unit);
    }
}

void AddTable(Story &story, const std::vector<const RtfRow *> &rows, double left,
              const Context &context)
{
    story.tables.push_back(std::make_unique<LaidTable>(LaidOutTable(rows, left, context)));
    const LaidTable &table = *story.tables.back();
    const int count = static_cast<int>(table.rows.size());
    // Rows joined by a merged cell stay together, as do the header rows.
    for (int first = 0; first < count;) {
        int last = first == 0 && table.headerRows > 0 ? table.headerRows - 1 : first;
        for (int r = first; r <= last && r < count; ++r)
            for (const LaidCell &cell : table.rows[static_cast<std::size_t>(r)].cells)
                last = std::max(last, std::min(count - 1, r + cell.span - 1));
        Unit unit;
        unit.table = &table;
        unit.firstRow = first;
        unit.lastRow = last;
        for (int r = first; r <= last; ++r) {
            const LaidRow &row = table.rows[static_cast<std::size_t>(r)];
            unit.height += row.height;
            for (const LaidCell &cell : row.cells)
                for (const RtfParagraph &paragraph : cell.cell->paragraphs)
                    unit.keepWithNext = unit.keepWithNext || paragraph.format.keepWithNext;
        }
        // A table's header stays with its first row.
        if (first == 0 && table.headerRows > 0) unit.keepWithNext = true;
        story.units.push_back(unit);
        first = last + 1;
    }
}

Story LaidOutStory(const std::vector<RtfBlock> &blocks, const Context &context)
{
    const RtfPage &page = context.blocks.page;
    const double left = context.dots(page.marginLeft);
    const double width = context.dots(page.width - page.marginLeft - page.marginRight);
    Story story;
    std::vector<const RtfRow *> rows;
    for (const RtfBlock &block : blocks) {
        if (const auto *row = std::get_if<RtfRow>(&block)) {
            rows.push_back(row);
            continue;
        }
        if (!rows.empty()) AddTable(story, rows, left, context);
        rows.clear();
        AddParagraph(story, std::get<RtfParagraph>(block), width, context);
    }
    if (!rows.empty()) AddTable(story, rows, left, context);
    return story;
}

void DrawUnit(QPainter &painter, const Unit &unit, double top, const Context &context)
{
    if (unit.table) {
        DrawRows(painter, *unit.table, unit.firstRow, unit.lastRow, top, context);
        return;
    }
    const double left = context.dots(context.blocks.page.marginLeft);
    painter.save();
    painter.translate(left, top + unit.before - unit.top);
    // Clipped to its lines only up and down: letters may lean past the text's width.
    unit.paragraph->drawContents(
        &painter,
        QRectF(-left, unit.top, context.dots(context.blocks.page.width), unit.bottom - unit.top));
    painter.restore();
}

// The units each page holds, by index; a table's header rows repeated at the top of a page
// it goes on to are listed there as such.
struct PagePlan {
    struct Placed {
        const Unit *unit;
        Unit header; // where `unit` is null
    };
    std::vector<std::vector<Placed>> pages;
};

PagePlan Paginate(const Story &body, const std::function<double(int page)> &heightOfPage)
{
    PagePlan plan;
    const std::vector<Unit> &units = body.units;
    std::size_t i = 0;
    while (i < units.size()) {
        const double room = heightOfPage(static_cast<int>(plan.pages.size()) + 1);
        std::vector<PagePlan::Placed> page;
        double used = 0;
        const std::size_t start = i;
        const Unit &opening = units[i];
        if (opening.table && opening.table->headerRows > 0 && opening.firstRow > 0) {
            Unit header;
            header.table = opening.table;
            header.lastRow = opening.table->headerRows - 1;
            for (int r = 0; r <= header.lastRow; ++r)
                header.height += opening.table->rows[static_cast<std::size_t>(r)].height;
            used += header.height;
            page.push_back({nullptr, header});
        }
        bool full = false;
        while (i < units.size()) {
            if (i != start && units[i].breakBefore) break;
            if (i != start && used + units[i].height > room) {
                full = true;
                break;
            }
            page.push_back({&units[i], {}});
            used += units[i].height;
            ++i;
        }
        // What must stay with the unit that did not fit goes over with it, while something
        // is left on the page.
        if (full) {
            std::size_t end = i;
            while (end - 1 > start && units[end - 1].keepWithNext)
                --end;
            page.resize(page.size() - (i - end));
            i = end;
        }
        plan.pages.push_back(std::move(page));
    }
    if (plan.pages.empty()) plan.pages.emplace_back();
    return plan;
}

void DrawPageBorder(QPainter &painter, const Context &context)
{
    const RtfPage &page = context.blocks.page;
    const double left = context.dots(page.marginLeft - page.spaceLeft);
    const double top = context.dots(page.marginTop - page.spaceTop);
    const double right = context.dots(page.width - page.marginRight + page.spaceRight);
    const double bottom = context.dots(page.height - page.footerDistance + page.spaceBottom);
    DrawLine(painter, {left, top}, {right, top}, page.borderTop, context);
    DrawLine(painter, {left, bottom}, {right, bottom}, page.borderBottom, context);
    DrawLine(painter, {left, top}, {left, bottom}, page.borderLeft, context);
    DrawLine(painter, {right, top}, {right, bottom}, page.borderRight, context);
}

const std::vector<RtfBlock> &FooterOf(const RtfBlocks &blocks, int page)
{
    return page == 1 && blocks.page.titlePage ? blocks.firstFooter : blocks.footer;
}

} // namespace

int PaintRtfPages(const RtfBlocks &blocks, QPainter &painter)
{
    auto *device = dynamic_cast<QPagedPaintDevice *>(painter.device());
    if (!device) return 0;
    Context context{.blocks = blocks,
                    .device = device,
                    .dotsPerTwip = device->logicalDpiY() / 1440.0,
                    .page = 1,
                    .pages = 1};
    const RtfPage &page = blocks.page;
    const double footerHeights[2] = {LaidOutStory(FooterOf(blocks, 1), context).height(),
                                     LaidOutStory(FooterOf(blocks, 2), context).height()};
    // The body ends at the bottom margin, or higher where the footer reaches above it; never
    // less than a quarter of the page is left to it.
    const auto bottomOfBody = [&](int number) {
        const double footerTop =
            context.dots(page.height - page.footerDistance) - footerHeights[number == 1 ? 0 : 1];
        return std::min(context.dots(page.height - page.marginBottom), footerTop);
    };
    const double bodyTop = context.dots(page.marginTop);
    const Story body = LaidOutStory(blocks.body, context);
    const PagePlan plan = Paginate(body, [&](int number) {
        return std::max(bottomOfBody(number) - bodyTop,
                        context.dots(page.height - page.marginTop - page.marginBottom) / 4);
    });

    context.pages = static_cast<int>(plan.pages.size());
    for (int number = 1; number <= context.pages; ++number) {
        if (number > 1 && !device->newPage()) return 0;
        context.page = number;
        double y = bodyTop;
        for (const PagePlan::Placed &placed : plan.pages[static_cast<std::size_t>(number - 1)]) {
            const Unit &unit = placed.unit ? *placed.unit : placed.header;
            DrawUnit(painter, unit, y, context);
            y += unit.height;
        }
        const Story footer = LaidOutStory(FooterOf(blocks, number), context);
        double footerY = context.dots(page.height - page.footerDistance) - footer.height();
        for (const Unit &unit : footer.units) {
            DrawUnit(painter, unit, footerY, context);
            footerY += unit.height;
        }
        DrawPageBorder(painter, context);
    }
    return context.pages;
}

QByteArray PdfOfRtf(std::string_view rtf, QString *problem)
{
    const RtfBlocks blocks = ReadRtfBlocks(rtf);
    if (blocks.cut) {
        if (problem)
            *problem = QStringLiteral("отчёт слишком велик, чтобы программа составила его "
                                      "страницы сама; установите LibreOffice.");
        return {};
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Тельмар"));
        writer.setTitle(QString::fromStdString(blocks.title));
        const QPageSize size(QSizeF(blocks.page.width / 20.0, blocks.page.height / 20.0),
                             QPageSize::Point, QString(), QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (problem) *problem = QStringLiteral("не удалось начать PDF.");
            return {};
        }
        const int pages = PaintRtfPages(blocks, painter);
        painter.end();
        if (pages == 0) {
            if (problem) *problem = QStringLiteral("не удалось начать страницу PDF.");
            return {};
        }
    }
    return buffer.data();
}

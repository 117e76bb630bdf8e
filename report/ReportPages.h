#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

struct RtfBlocks;
class QPainter;

// The report's pages drawn by the program itself, where no office is at hand: the page,
// its border and footer (the title block, with the page's number and the count), and the
// body's paragraphs and tables broken into pages between lines and rows, a heading kept
// with what follows it and a table's header rows repeated on each of its pages.

// The pages of `blocks` painted with `painter`, which is open on a paged device whose page
// is the document's and whose margins are none; the number of pages, 0 when a new page
// could not be begun.
int PaintRtfPages(const RtfBlocks &blocks, QPainter &painter);

// The RTF document `rtf` as a PDF; empty when it could not be made, with `problem` saying
// why. May run on any thread of an application.
QByteArray PdfOfRtf(std::string_view rtf, QString *problem = nullptr);

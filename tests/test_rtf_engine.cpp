// The built-in RTF engine on its own: forward search through the text, replacements that
// keep the markup, escapes in and out, the bounded fill loop, the document read as blocks
// for its pages; and the writer of whole files.

#include "report/engine/ReportFiller.h"
#include "report/engine/RtfBlocks.h"
#include "report/engine/RtfDocument.h"
#include "report/engine/RtfText.h"
#include "report/engine/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Blocks in short: ¶ and its text for a paragraph, a page field in braces, a picture in
// brackets; a row's cells between bars, a merged cell's first marked ^ and its others v.
QString Described(const std::vector<RtfBlock> &blocks)
{
    QStringList described;
    const auto paragraph = [](const RtfParagraph &p) {
        QString text;
        for (const RtfRun &run : p.runs) {
            if (!run.png.empty())
                text += QStringLiteral("[%1 bytes %2x%3]")
                            .arg(run.png.size())
                            .arg(run.widthTwips)
                            .arg(run.heightTwips);
            else if (run.field == RtfRun::Field::page)
                text += QStringLiteral("{PAGE}");
            else if (run.field == RtfRun::Field::pageCount)
                text += QStringLiteral("{NUMPAGES}");
            else
                text += QString::fromStdString(run.text);
        }
        return text;
    };
    for (const RtfBlock &block : blocks) {
        if (const auto *p = std::get_if<RtfParagraph>(&block)) {
            described << QStringLiteral("¶") + paragraph(*p);
            continue;
        }
        QStringList cells;
        for (const RtfCell &cell : std::get<RtfRow>(block).cells) {
            QStringList text;
            for (const RtfParagraph &p : cell.paragraphs)
                text << paragraph(p);
            cells << (cell.merge == RtfCell::Merge::first       ? QStringLiteral("^")
                      : cell.merge == RtfCell::Merge::continued ? QStringLiteral("v")
                                                                : QString()) +
                         text.join(QStringLiteral("/"));
        }
        described << QStringLiteral("R[%1]").arg(cells.join(QStringLiteral("|")));
    }
    return described.join(QStringLiteral(" "));
}

QString Text(const RtfDocument &document)
{
    return QString::fromStdString(document.plainText());
}

bool BracesBalanced(const std::string &rtf)
{
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped brace is text
            continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A word processor whose document never holds the placeholder; counts the attempts.
class EmptyDocument : public WordProcessor {
public:
    int selections = 0;
    int attempts = 0;
    bool SetWordVisible(bool) override { return true; }
    bool OpenDocument(const std::filesystem::path &) override { return true; }
    bool SelectionToStart() override { return ++selections, true; }
    bool ReplacePlaceholder(std::string_view, std::string_view) override
    {
        ++attempts;
        return false;
    }
    bool replaceWithPicture(std::string_view, const std::string &, int, int) override
    {
        return false;
    }
};

} // namespace

class RtfEngineTest : public QObject {
    Q_OBJECT

private slots:
    void replacesTheFirstOccurrenceForward()
    {
        RtfDocument document(R"({\rtf1\ansi A #x B #x C})");
        QVERIFY(document.replace("#x", "1"));
        QCOMPARE(Text(document), QStringLiteral("A 1 B #x C"));
        QVERIFY(document.replace("#x", "2")); // onward from after the first
        QCOMPARE(Text(document), QStringLiteral("A 1 B 2 C"));
        QVERIFY(!document.replace("#x", "3"));
    }

    void searchStartsAtTheSelection()
    {
        RtfDocument document(R"({\rtf1 #x #y #x})");
        QVERIFY(document.replace("#y", "Y"));
        QVERIFY(document.replace("#x", "second"));
        QCOMPARE(Text(document), QStringLiteral("#x Y second"));
        document.selectionToStart();
        QVERIFY(document.replace("#x", "first"));
        QCOMPARE(Text(document), QStringLiteral("first Y second"));
    }

    // A replacement changes what follows the characters before it: the search's index
    // reads them again, so a placeholder that the replacement completes is found.
    void placeholderMadeByAReplacementIsFound()
    {
        RtfDocument document(R"({\rtf1 a#{\b #xyzw} b})");
        QVERIFY(document.replace("#xyzw", "ro1&"));
        QCOMPARE(Text(document), QStringLiteral("a#ro1& b"));
        document.selectionToStart();
        QVERIFY(document.replace("#ro1&", "60"));
        QCOMPARE(Text(document), QStringLiteral("a60 b"));
    }

    void placeholderSplitByTheMarkupIsFound_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("group") << QByteArray(R"({\rtf1 a ##r{\b o}1 z})") << "a 60 z";
        QTest::newRow("control words") << QByteArray(R"({\rtf1 a ##r\i o\i0 1 z})") << "a 60 z";
        QTest::newRow("hex escape") << QByteArray(R"({\rtf1 a #\'23ro1 z})") << "a 60 z";
        QTest::newRow("unicode escape") << QByteArray(R"({\rtf1 a ##\u114?o1 z})") << "a 60 z";
        QTest::newRow("markup line breaks") << QByteArray("{\\rtf1 a ##r\r\no1 z}") << "a 60 z";
        QTest::newRow("paragraph mark without its blank")
            << QByteArray(R"({\rtf1 a\par##ro1\par z})") << "a\n60\nz";
        QTest::newRow("unicode run with two fallback bytes")
            << QByteArray(R"({\rtf1\uc2 \u1055\'cf\'cf ##ro1})") << QStringLiteral("П 60");
        // clang-format on
    }

    void placeholderSplitByTheMarkupIsFound()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        RtfDocument document(rtf.toStdString());
        QVERIFY(document.replace("##ro1", "60"));
        QCOMPARE(Text(document), text);
        QVERIFY(BracesBalanced(document.rtf()));
        // The formatting between the characters is kept.
        if (rtf.contains("{\\b o}")) QVERIFY(document.rtf().find("{\\b {}}") != std::string::npos);
    }

    void controlWordWithoutItsBlankKeepsItsEnd()
    {
        // \b ends at the "&" it does not own; removing the "&" must not let the blank
        // after "y" become the word's delimiter.
        RtfDocument document(R"({\rtf1 a #x\b&y z})");
        QVERIFY(document.replace("#x&y", "60"));
        QCOMPARE(Text(document), QStringLiteral("a 60 z"));
    }

    void characterThatOpensAGroupLeavesTheGroupText_data()
    {
        // clang-format off
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("replaced") << "Z" << "a Zy b";
        QTest::newRow("deleted") << "" << "a y b";
        // clang-format on
    }

    void characterThatOpensAGroupLeavesTheGroupText()
    {
        // "{x\*\foo y}" is text because "x" comes first; without it the group would be an
        // ignorable destination.
        QFETCH(QString, value);
        QFETCH(QString, text);
        RtfDocument document(R"({\rtf1 a #{x\*\foo y} b})");
        QVERIFY(document.replace("#x", value.toStdString()));
        QCOMPARE(Text(document), text);
        QVERIFY(BracesBalanced(document.rtf()));
    }

    void missingPlaceholderChangesNothing_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("absent") << QByteArray(R"({\rtf1 nothing here})");
        QTest::newRow("in an ignorable destination") << QByteArray(R"({\rtf1 {\*\note ##ro1} a})");
        QTest::newRow("in the font table")
            << QByteArray(R"({\rtf1{\fonttbl{\f0 ##ro1;}} a})");
        QTest::newRow("in a field's instruction")
            << QByteArray(R"({\rtf1{\field{\*\fldinst ##ro1}{\fldrslt x}}})");
        QTest::newRow("in a picture") << QByteArray(R"({\rtf1{\pict ##ro1}})");
        QTest::newRow("across a paragraph") << QByteArray(R"({\rtf1 ##r\par o1})");
        QTest::newRow("different case") << QByteArray(R"({\rtf1 ##RO1})");
        QTest::newRow("binary data") << QByteArray("{\\rtf1 \\bin5 ##ro1}");
        // clang-format on
    }

    void missingPlaceholderChangesNothing()
    {
        QFETCH(QByteArray, rtf);
        RtfDocument document(rtf.toStdString());
        QVERIFY(!document.replace("##ro1", "60"));
        QCOMPARE(QByteArray::fromStdString(document.rtf()), rtf);
        QCOMPARE(document.selection(), std::size_t(0));
    }

    void emptyValueJustDeletes()
    {
        RtfDocument document(R"({\rtf1 a {\b ##zaz&} b})");
        QVERIFY(document.replace("##zaz&", ""));
        QCOMPARE(Text(document), QStringLiteral("a  b"));
        QVERIFY(BracesBalanced(document.rtf()));
    }

    // The paragraph of a section's placeholder goes whole, its spacing with it, only where
    // nothing else goes with it: not the text it shares, nor a table's cell, nor the
    // formatting the next paragraph takes over, nor a group left open.
    void paragraphOfAPlaceholderGoesWhole_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QByteArray>("left"); // empty: the paragraph stays
        QTest::newRow("a paragraph of its own")
            << QByteArray(R"({\rtf1 \pard A\par\pard\sb180\b ##x&\par
\pard\plain B\par})")
            << QByteArray(R"({\rtf1 \pard A\par
\pard\plain B\par})");
        QTest::newRow("after a table's row")
            << QByteArray(R"({\rtf1 \trowd\cellx900\pard\intbl A\cell\row\pard {\i ##x&}\par\trowd B})")
            << QByteArray(R"({\rtf1 \trowd\cellx900\pard\intbl A\cell\row\trowd B})");
        // What follows reads in the font and with the \uc the paragraph set, as it did.
        QTest::newRow("its font and \\uc kept")
            << QByteArray(R"({\rtf1 \pard A\par\pard\plain\f1\uc2{\b ##x&}\par\pard\plain \u1055\'cf\'cf B\par})")
            << QByteArray(R"({\rtf1 \pard A\par\f1 \uc2 \pard\plain \u1055\'cf\'cf B\par})");
        // Paragraphs taken out one after the other, the later first, as a report's fill does.
        QTest::newRow("before one taken out")
            << QByteArray(R"({\rtf1 \pard A\par\pard\plain\f1 ##x&\par\pard\plain\f2 ##y&\par\pard\plain B\par})")
            << QByteArray(R"({\rtf1 \pard A\par\f1 \f2 \pard\plain B\par})");
        QTest::newRow("sharing its paragraph") << QByteArray(R"({\rtf1 \pard A\par\pard ##x& a\par\pard\plain B\par})") << QByteArray();
        QTest::newRow("past a line break") << QByteArray(R"({\rtf1 \pard A\par\pard ##x&\line a\par\pard\plain B\par})") << QByteArray();
        QTest::newRow("in a table's cell") << QByteArray(R"({\rtf1 \pard A\par\pard\intbl ##x&\cell\row\pard\plain B\par})") << QByteArray();
        QTest::newRow("its formatting carried on") << QByteArray(R"({\rtf1 \pard A\par\pard\b ##x&\par\pard B\par})") << QByteArray();
        QTest::newRow("a group left open") << QByteArray(R"({\rtf1 \pard A\par{\pard ##x&\par}\pard\plain B\par})") << QByteArray();
        QTest::newRow("the first paragraph") << QByteArray(R"({\rtf1 \pard ##x&\par\pard\plain B\par})") << QByteArray();
        QTest::newRow("absent") << QByteArray(R"({\rtf1 \pard A\par\pard\plain B\par})") << QByteArray();
        // clang-format on
    }

    void paragraphOfAPlaceholderGoesWhole()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QByteArray, left);
        RtfDocument document(rtf.toStdString());
        if (rtf.contains("##y&")) QVERIFY(document.removeParagraphOf("##y&"));
        document.selectionToStart();
        QCOMPARE(document.removeParagraphOf("##x&"), !left.isEmpty());
        QCOMPARE(QByteArray::fromStdString(document.rtf()), left.isEmpty() ? rtf : left);
        // The search goes on from where the paragraph stood, and its index reads what follows
        // as a fresh reading does.
        if (left.isEmpty()) return;
        RtfDocument fresh(left.toStdString());
        QVERIFY(document.replace("B", "b"));
        QVERIFY(fresh.replace("B", "b"));
        QCOMPARE(document.rtf(), fresh.rtf());
        QCOMPARE(Text(document), Text(fresh));
    }

    void valuesAreWrittenAsRtfAndReadBack_data()
    {
        // clang-format off
        QTest::addColumn<QString>("value");
        QTest::newRow("Cyrillic") << QStringLiteral("заземлителей");
        QTest::newRow("unit suffix") << QStringLiteral("2,5 м");
        QTest::newRow("markup characters") << QStringLiteral("a\\b{c}d");
        QTest::newRow("outside the basic plane") << QStringLiteral("Ω 😀");
        QTest::newRow("looks like a control word") << QStringLiteral("\\par x");
        // clang-format on
    }

    void valuesAreWrittenAsRtfAndReadBack()
    {
        QFETCH(QString, value);
        RtfDocument document(R"({\rtf1\ansi\ansicpg1251\uc0 x ##ver& y})");
        QVERIFY(document.replace("##ver&", value.toStdString()));
        QCOMPARE(Text(document), "x " + value + " y");
        QVERIFY(BracesBalanced(document.rtf()));
        // The markup itself stays 7-bit, whatever the value.
        QVERIFY(std::all_of(document.rtf().begin(), document.rtf().end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    }

    void selectionEndsAfterTheInsertedText()
    {
        RtfDocument document(R"({\rtf1 ##a& ##a&})");
        QVERIFY(document.replace("##a&", "##a&"));
        // The value itself is behind the selection and is not searched again.
        QVERIFY(document.replace("##a&", "2"));
        QCOMPARE(Text(document), QStringLiteral("##a& 2"));
    }

    void codePagesDecodeEightBitText_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("document code page 1251")
            << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})") << QStringLiteral("При");
        QTest::newRow("Cyrillic font in a Western document")
            << QByteArray(R"({\rtf1\ansi{\fonttbl{\f0\fcharset204 Times;}{\f1\fcharset0 Arial;}}\f0 \'cf {\f1 \'e9}})")
            << QStringLiteral("П é");
        QTest::newRow("raw eight-bit bytes") << QByteArray("{\\rtf1\\ansicpg1251 \xcf\xf0}")
                                             << QStringLiteral("Пр");
        QTest::newRow("negative unicode escape") << QByteArray(R"({\rtf1 \u-3913?})")
                                                 << QString(QChar(0xF0B7));
        QTest::newRow("half a surrogate pair") << QByteArray(R"({\rtf1 \u-10240?x})")
                                               << QString(QChar(0xFFFD)) + "x";
        // clang-format on
    }

    void codePagesDecodeEightBitText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(RtfPlainText(rtf.toStdString())), text);
    }

    void malformedDocumentsAreReadLeniently_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 {{{ ##ro1");
        QTest::newRow("stray closing brace") << QByteArray("}} ##ro1 }");
        QTest::newRow("truncated escape") << QByteArray("{\\rtf1 ##ro1 \\'");
        QTest::newRow("huge binary length") << QByteArray("{\\rtf1 ##ro1 \\bin999999999");
        QTest::newRow("lone backslash") << QByteArray("##ro1\\");
        // clang-format on
    }

    void malformedDocumentsAreReadLeniently()
    {
        QFETCH(QByteArray, rtf);
        RtfDocument document(rtf.toStdString());
        QVERIFY(document.replace("##ro1", "60"));
        QVERIFY(Text(document).contains(QStringLiteral("60")));
    }

    void fallbackCutOffByABraceLeavesTheBrace()
    {
        // The escape's fallback is an \' without its digits: the brace after it is markup.
        RtfDocument document(R"({\rtf1\uc2 \u1055\'})");
        QVERIFY(document.replace(QStringLiteral("П").toStdString(), "P"));
        QCOMPARE(Text(document), QStringLiteral("P"));
        QVERIFY(BracesBalanced(document.rtf()));
    }

    // What the program's own pages are drawn from: text decoded as an office reads it,
    // tables with their merged cells, footers apart, page fields computed, pictures kept,
    // and what is not shown passed over.
    void blocksAreReadAsLaidOut_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("footers"); // the other pages' / the first page's
        const QByteArray deep = QByteArray(300, '{') + "x" + QByteArray(300, '}');
        // clang-format off
        QTest::newRow("escapes and their fallbacks")
            << QByteArray(R"({\rtf1\ansi\ansicpg1251\uc1 \u1054\'ce\u1090\'f2 x\'c0\par})")
            << QStringLiteral("¶От xА") << QStringLiteral(" / ");
        QTest::newRow("a font's own charset")
            << QByteArray(R"({\rtf1\ansicpg1251{\fonttbl{\f0\fcharset204 T;}{\f1\fcharset0 A;}}\f1\'c0\f0\'c0\par})")
            << QStringLiteral("¶ÀА") << QStringLiteral(" / ");
        QTest::newRow("tabs and line breaks")
            << QByteArray(R"({\rtf1 a\tab b\line c\~d\par})")
            << QStringLiteral("¶a\tb\u2028c\u00A0d") << QStringLiteral(" / ");
        QTest::newRow("a merged cell")
            << QByteArray(R"({\rtf1\trowd\clvmgf\cellx1000\cellx2000\pard\intbl a\par b\cell c\cell\row)"
                          R"(\trowd\clvmrg\cellx1000\cellx2000\pard\intbl\cell d\cell\row\pard e\par})")
            << QStringLiteral("R[^a/b|c] R[v|d] ¶e") << QStringLiteral(" / ");
        QTest::newRow("footers and page fields")
            << QByteArray(R"({\rtf1\titlepg{\footerf Title\par}{\footer Sheet {\field{\*\fldinst PAGE}{\fldrslt 7}})"
                          R"( of {\field{\*\fldinst NUMPAGES }{\fldrslt 9}}\par})"
                          R"(x{\field{\*\fldinst HYPERLINK "y"}{\fldrslt z}}\par})")
            << QStringLiteral("¶xz") << QStringLiteral("¶Sheet {PAGE} of {NUMPAGES} / ¶Title");
        QTest::newRow("what is not shown")
            << QByteArray(R"({\rtf1{\*\generator g}{\info{\title T}{\author A}}{\header h\par}{\*\own u}x\par})")
            << QStringLiteral("¶x") << QStringLiteral(" / ");
        QTest::newRow("a picture")
            << QByteArray(R"({\rtf1 {\pict\pngblip\picw9\pich9\picwgoal1440\pichgoal720 8950 4e47}\par})")
            << QStringLiteral("¶[4 bytes 1440x720]") << QStringLiteral(" / ");
        QTest::newRow("groups nested too deep")
            << QByteArray("{\\rtf1 " + deep + "y\\par}")
            << QStringLiteral("¶y") << QStringLiteral(" / ");
        // clang-format on
    }

    void blocksAreReadAsLaidOut()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, body);
        QFETCH(QString, footers);
        const RtfBlocks blocks = ReadRtfBlocks(rtf.toStdString());
        QCOMPARE(Described(blocks.body), body);
        QCOMPARE(Described(blocks.footer) + QStringLiteral(" / ") + Described(blocks.firstFooter),
                 footers);
    }

    void fillTriesEachPlaceholderThreeTimesThenStops()
    {
        EmptyDocument document;
        int advances = 0;
        const std::vector<ReportRow> rows{{"##a", "1", 3}, {"##b", "2", 3}};
        const FillOutcome outcome = FillReport(document, rows, [&](int) { ++advances; });
        QVERIFY(!outcome.complete);
        QCOMPARE(outcome.missingPlaceholder, std::string("##a"));
        QCOMPARE(document.attempts, kReplacementAttempts);
        QCOMPARE(document.selections, 1);
        QCOMPARE(advances, 0);
    }

    // The one writer of the program's and telmar-calc's files: whole or not at all, through
    // a link only to a regular file, never over anything else, the file's mode kept.
    void wholeFileWrites_data()
    {
        using Failure = WholeFileWrite::Failure;
        // clang-format off
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("failure");
        QTest::newRow("a new name")                 << "new"             << int(Failure::none);
        QTest::newRow("a regular file")             << "file"            << int(Failure::none);
        QTest::newRow("a link to a regular file")   << "link to file"    << int(Failure::none);
        QTest::newRow("a dangling link")            << "dangling link"   << int(Failure::linkNotToRegular);
        QTest::newRow("a link to a FIFO")           << "link to fifo"    << int(Failure::linkNotToRegular);
        QTest::newRow("a FIFO")                     << "fifo"            << int(Failure::notRegular);
        QTest::newRow("a folder")                   << "folder"          << int(Failure::notRegular);
        QTest::newRow("a name in a missing folder") << "missing folder"  << int(Failure::failed);
        QTest::newRow("a read-only folder")         << "read-only"       << int(Failure::failed);
        QTest::newRow("a write cut short")          << "cut short"       << int(Failure::failed);
        // clang-format on
    }

    void wholeFileWrites()
    {
        QFETCH(QString, kind);
        QFETCH(int, failure);
        if (kind == "read-only" && ::geteuid() == 0) QSKIP("root writes into any folder");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QDir folder(scratch.path());
        const QString file = folder.filePath("file");
        const QString fifo = folder.filePath("fifo");
        QVERIFY(WriteFile(file, "old"));
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(folder.mkdir("sub"));
        const QString link = folder.filePath("link");
        QString path = link;
        if (kind == "new") path = folder.filePath("new");
        if (kind == "file" || kind == "read-only" || kind == "cut short") path = file;
        if (kind == "fifo") path = fifo;
        if (kind == "folder") path = folder.filePath("sub");
        if (kind == "missing folder") path = folder.filePath("gone/new");
        if (kind == "link to file") QVERIFY(QFile::link(file, link));
        if (kind == "link to fifo") QVERIFY(QFile::link(fifo, link));
        if (kind == "dangling link") QVERIFY(QFile::link(folder.filePath("nothing"), link));
        if (kind == "read-only")
            QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0500) == 0);
        const QStringList before = folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        const mode_t mask = ::umask(027);
        rlimit limit{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit unlimited = limit;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (kind == "cut short") limit.rlim_cur = 4; // bytes: the write fails half-way
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);

        const WholeFileWrite made =
            WriteWholeFile(QFile::encodeName(path).toStdString(), "new bytes");
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previousHandler);
        ::umask(mask);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);

        QCOMPARE(int(made.failure), failure);
        QCOMPARE(made.written(), made.reason.empty());
        QCOMPARE(QFileInfo(fifo).isFile(), false);
        QVERIFY(QFileInfo(folder.filePath("sub")).isDir());
        if (kind.startsWith("link") || kind == "dangling link")
            QVERIFY(QFileInfo(link).isSymLink());
        // Nothing left behind, whatever the outcome: only the new name is new.
        QStringList after = folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        after.removeAll("new");
        QCOMPARE(after, before);
        struct stat info {};
        if (kind == "new") {
            QCOMPARE(ReadAll(path), QByteArray("new bytes"));
            QVERIFY(::stat(QFile::encodeName(path).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0640)); // 0666 less the umask
        } else {
            const bool replaced = kind == "file" || kind == "link to file";
            QCOMPARE(ReadAll(file), replaced ? QByteArray("new bytes") : QByteArray("old"));
            QVERIFY(::stat(QFile::encodeName(file).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0604)); // the file's own, not the umask's
        }
    }
};

QTEST_APPLESS_MAIN(RtfEngineTest)
#include "test_rtf_engine.moc"

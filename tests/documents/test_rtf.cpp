// The Rich Text Format reader and writer: what the writer writes reads back to the same document;
// files in the code pages and spellings other programs use read with their text and formats.
#include "documents/rtf.h"
#include "rtfdescribe.h"
#include "support/application.h"
#include "support/pictures.h"
#include <QFile>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextList>
#include <gtest/gtest.h>

using documents::readRtf;
using documents::writeRtf;
using testsupport::describe;

namespace {

class Rtf : public ::testing::Test {
protected:
    void SetUp() override { testsupport::application<QGuiApplication>(); }

    // The document read from `rtf`; a note from the reader fails the test.
    QString textOf(const QByteArray& rtf) {
        QTextDocument doc;
        QString note;
        EXPECT_TRUE(readRtf(rtf, doc, &note));
        EXPECT_EQ(note, QString());
        QStringList blocks;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            blocks << b.text();
        return blocks.join(u'\n');
    }

    static QByteArray file(const char* name) {
        QFile f(QStringLiteral(PELK_RTF_DATA "/") + QLatin1String(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        return f.readAll();
    }
};

QTextCharFormat chars(const QString& family, qreal size) {
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    return f;
}

// A document with every format the reader and writer carry.
void buildRichDocument(QTextDocument& doc) {
    QTextCursor c(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setBottomMargin(6);
    c.setBlockFormat(centred);
    QTextCharFormat heading = chars(QStringLiteral("Arial"), 16);
    heading.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Oferta nr 7 – zawory kulowe"), heading);

    QTextBlockFormat indented;
    indented.setAlignment(Qt::AlignJustify);
    indented.setLeftMargin(36);
    indented.setRightMargin(18);
    indented.setTextIndent(-9);
    indented.setTopMargin(3);
    c.insertBlock(indented);
    const QTextCharFormat body = chars(QStringLiteral("Times New Roman"), 12);
    c.insertText(QStringLiteral("Zażółć gęślą jaźń, ZAŻÓŁĆ GĘŚLĄ JAŹŃ € "), body);
    QTextCharFormat f = body;
    f.setFontItalic(true);
    c.insertText(QStringLiteral("kursywa"), f);
    f = body;
    f.setFontUnderline(true);
    f.setFontStrikeOut(true);
    c.insertText(QStringLiteral(" podkreślone"), f);
    f = chars(QStringLiteral("Courier New"), 9.5);
    f.setForeground(QColor(200, 0, 0));
    f.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral(" kolor"), f);
    f = body;
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral("2"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("x"), f);
    c.insertText(QStringLiteral("\ttab\u2028line {braces} \\ a\u00A0b\u00ADc\u2011d Жук → 😀"),
                 body);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right, body);
    c.insertBlock(QTextBlockFormat(), body); // an empty paragraph

    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.insertList(bullets);
    c.insertText(QStringLiteral("pierwsza"), body);
    c.insertBlock();
    c.insertText(QStringLiteral("druga"), heading);
    QTextListFormat numbered;
    numbered.setStyle(QTextListFormat::ListDecimal);
    numbered.setIndent(2);
    c.insertList(numbered);
    c.insertText(QStringLiteral("jeden"), body);
    c.insertBlock();
    c.insertText(QStringLiteral("dwa"), body);
    QTextListFormat letters;
    letters.setStyle(QTextListFormat::ListLowerAlpha);
    c.insertList(letters);
    c.insertText(QStringLiteral("a-pozycja"), body);
    QTextListFormat roman;
    roman.setStyle(QTextListFormat::ListUpperRoman);
    c.insertList(roman);
    c.insertText(QStringLiteral("rzymska"), body);

    c.insertBlock(QTextBlockFormat(), body);
    c.currentList() ? c.currentList()->remove(c.block()) : void();
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("logo")),
                    testsupport::sampleImage(Qt::blue, 8, 6));
    QTextImageFormat image;
    image.setName(QStringLiteral("logo"));
    c.insertImage(image);
    image.setWidth(16);
    image.setHeight(12);
    c.insertImage(image);
    c.insertText(QStringLiteral(" po obrazku"), body);
}

TEST_F(Rtf, WrittenDocumentReadsBackTheSame) {
    QTextDocument original;
    buildRichDocument(original);
    const QByteArray rtf = writeRtf(original);

    QTextDocument read;
    QString note;
    ASSERT_TRUE(readRtf(rtf, read, &note));
    EXPECT_EQ(note, QString());
    EXPECT_EQ(describe(read).toStdString(), describe(original).toStdString());
    // Written again, the same bytes: nothing drifts from one save to the next.
    EXPECT_EQ(writeRtf(read), rtf);

    // Polish letters are single bytes of code page 1250; what 1250 lacks is \uN with a fallback.
    EXPECT_TRUE(rtf.contains("\\ansicpg1250"));
    EXPECT_TRUE(rtf.contains("\\fcharset238"));
    EXPECT_TRUE(rtf.contains("Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9"));
    EXPECT_TRUE(rtf.contains("\\u1046?"));
    EXPECT_TRUE(rtf.contains("\\pngblip"));
    for (const char byte : rtf)
        ASSERT_LT(uchar(byte), 0x80) << "RTF is seven-bit text";
}

TEST_F(Rtf, IndentStepsAreWrittenAsAMargin) {
    QTextDocument original;
    QTextCursor c(&original);
    QTextBlockFormat stepped;
    stepped.setIndent(2);
    stepped.setLeftMargin(10);
    c.setBlockFormat(stepped);
    c.insertText(QStringLiteral("wcięty"));
    QTextDocument read;
    ASSERT_TRUE(readRtf(writeRtf(original), read));
    EXPECT_EQ(read.begin().blockFormat().leftMargin(), 10 + 2 * original.indentWidth());
}

TEST_F(Rtf, AReadDocumentStartsUnmodifiedWithNothingToUndo) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("poprzedni"));
    QTextCursor(&doc).insertText(QStringLiteral("zmiana "));
    ASSERT_TRUE(doc.isModified());
    ASSERT_TRUE(readRtf("{\\rtf1 nowy\\par}", doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("nowy"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_TRUE(doc.isUndoRedoEnabled());
    QTextCursor(&doc).insertText(QStringLiteral("x"));
    EXPECT_TRUE(doc.isUndoAvailable()); // the editor's own changes are undone as before
}

TEST_F(Rtf, EmptyDocumentsAndEmptyParagraphsKeepTheirShape) {
    for (const QString& text : {QString(), QStringLiteral("\n"), QStringLiteral("a\n\n\nb\n")}) {
        QTextDocument original;
        original.setPlainText(text);
        QTextDocument read;
        ASSERT_TRUE(readRtf(writeRtf(original), read));
        EXPECT_EQ(read.blockCount(), original.blockCount()) << text.toStdString();
        EXPECT_EQ(read.toPlainText(), original.toPlainText());
    }
}

TEST_F(Rtf, CodePagesOfOtherPrograms) {
    // The program's own files: code page 1250, Central European font charset.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 "
                     "Arial;}}\\f0\\fs20 Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 "
                     "ja\\'9f\\'f1\\par}"),
              QStringLiteral("Zażółć gęślą jaźń"));
    // No \ansicpg at all: 1250 is assumed.
    EXPECT_EQ(textOf("{\\rtf1\\ansi \\'b3\\'a5ka\\par}"), QStringLiteral("łĄka"));
    // A Western file, with one Central European font in it.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\fswiss\\fcharset238 Arial CE;}}\\f0 Caf\\'e9 na\\'efve \\'80 "
                     "{\\f1 \\'b3\\'b9}\\'b3\\par}"),
              QStringLiteral("Café naïve € łą³"));
    // Raw eight-bit bytes are text of the code page too.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1250 \xb3\xb9ka\\par}"), QStringLiteral("łąka"));
    // Other single-byte pages through the system's converters.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg1251 \\'c6\\'f3\\'ea\\par}"), QStringLiteral("Жук"));
    // A double-byte page, its characters split over two escapes each.
    EXPECT_EQ(textOf("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b{\\b \\'8c\\'ea}\\par}"),
              QStringLiteral("日本語"));
}

TEST_F(Rtf, UnicodeCharactersSkipTheirStandIns) {
    EXPECT_EQ(textOf("{\\rtf1 \\u322?\\u261\\'b9 x\\par}"), QStringLiteral("łą x"));
    EXPECT_EQ(textOf("{\\rtf1 \\uc2\\u322 ab\\u378\\'9f\\'9fc\\par}"), QStringLiteral("łźc"));
    EXPECT_EQ(textOf("{\\rtf1 \\uc0\\u322 Y\\par}"), QStringLiteral("łY"));
    // A negative value is the upper half of 16 bits; a pair makes a character beyond them.
    EXPECT_EQ(textOf("{\\rtf1 \\u-3913?\\u-10179?\\u-8704?\\par}"), QStringLiteral("\uF0B7😀"));
    // \uc belongs to its group; a group's end ends the skipping.
    EXPECT_EQ(textOf("{\\rtf1 {\\uc3\\u322}X\\u321 ?Y\\par}"), QStringLiteral("łXŁY"));
    // Control words and symbols.
    EXPECT_EQ(textOf("{\\rtf1 a\\~b\\-c\\_d\\tab e\\line f\\{\\}\\\\\\emdash\\endash"
                     "\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\par}"),
              QStringLiteral("a\u00A0b\u00ADc\u2011d\te\u2028f{}\\—–‘’“”•"));
}

TEST_F(Rtf, GroupsRestoreTheFormatsAroundThem) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;"
                        "\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\f0\\fs20 a{\\b\\f1 b"
                        "{\\i\\fs30\\cf1\\highlight2 c}d{\\plain e}}f\\b g\\b0 h\\ul i\\ulnone j"
                        "\\strike k\\strike0\\par}",
                        doc));
    EXPECT_EQ(describe(doc).toStdString(),
              "P align=1 margins=0,0,0,0,0 'a'{Arial 10} 'b'{Courier New 10 b} "
              "'c'{Courier New 15 b i fg=#ff0000 bg=#0000ff} 'd'{Courier New 10 b} "
              "'e'{Arial 12} 'f'{Arial 10} 'g'{Arial 10 b} 'h'{Arial 10} 'i'{Arial 10 u} "
              "'j'{Arial 10} 'k'{Arial 10 s}");

    // Paragraph formats: \pard ends them, a group around them keeps them inside.
    ASSERT_TRUE(readRtf("{\\rtf1\\qc\\li720\\ri360\\fi-180\\sb120\\sa240 a\\par b\\par"
                        "\\pard\\qr c\\par\\pard{\\qj d\\par}e\\par}",
                        doc));
    EXPECT_EQ(
        describe(doc).toStdString(),
        "P align=4 margins=36,18,-9,6,12 'a'{" + doc.defaultFont().family().toStdString() +
            " 12}\n"
            "P align=4 margins=36,18,-9,6,12 'b'{" +
            doc.defaultFont().family().toStdString() + " 12}\nP align=2 margins=0,0,0,0,0 'c'{" +
            doc.defaultFont().family().toStdString() + " 12}\nP align=8 margins=0,0,0,0,0 'd'{" +
            doc.defaultFont().family().toStdString() + " 12}\nP align=1 margins=0,0,0,0,0 'e'{" +
            doc.defaultFont().family().toStdString() + " 12}");
}

TEST_F(Rtf, DestinationsThatAreNotTheBodyAreSkipped) {
    EXPECT_EQ(textOf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title "
                     "Tytu\\'b3}{\\author Jan}}{\\*\\generator Word;}{\\header Nag\\'b3\\'f3wek}"
                     "{\\*\\unknowndest ukryte {\\b bardzo}}a{\\*\\bkmkstart x}b\\unknownword c"
                     "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
                     "{\\*\\shppict{\\pict\\wmetafile8 0102}}{\\nonshppict{\\pict 0102}}"
                     "{\\footnote przypis}d\\par}"),
              QStringLiteral("abclinkd"));
}

TEST_F(Rtf, ListsOfEverySpellingBecomeTextLists) {
    // Old-style numbering of Word 6 and WordPad, the list tables of newer programs, and a bare
    // label without any numbering destination.
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext \\'01\\u8226 ?;}}"
        "{\\listlevel\\levelnfc4{\\leveltext \\'02\\'00.;}}\\listid7}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}}\\listid8}}"
        "{\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid8\\ls2}}"
        "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}\\fi-360\\li720 old1\\par"
        "{\\pntext\\'b7\\tab}old2\\par\\pard plain\\par"
        "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}num\\par\\pard"
        "{\\listtext\\u8226 ?\\tab}\\ls1\\li709\\fi-283 new1\\par"
        "{\\listtext a.\\tab}\\ilvl1 nested\\par"
        "{\\listtext\\u8226 ?\\tab}\\ilvl0 new2\\par\\pard"
        "{\\listtext 1.\\tab}\\ls2 dec\\par\\pard"
        "{\\listtext 2)\\tab}bare\\par}";
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtf, doc));
    QStringList seen;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextList* list = b.textList();
        seen << b.text() + (list ? QStringLiteral(":%1/%2#%3")
                                       .arg(int(list->format().style()))
                                       .arg(list->format().indent())
                                       .arg(list->itemNumber(b))
                                 : QString());
    }
    EXPECT_EQ(seen.join(u' ').toStdString(),
              "old1:-1/1#0 old2:-1/1#1 plain num:-4/1#0 new1:-1/1#0 nested:-5/2#0 new2:-1/1#1 "
              "dec:-4/1#0 bare:-4/1#0");
    // A list paragraph's margins are the list's indent, not a margin of its own.
    EXPECT_EQ(doc.begin().blockFormat().leftMargin(), 0);
}

TEST_F(Rtf, PicturesInPngAndJpegAreShown) {
    const QByteArray png = testsupport::pngPicture();
    const QByteArray jpeg = testsupport::encoded(testsupport::sampleImage(Qt::black), "JPEG");
    const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picw8\\pich6\\picwgoal240\\pichgoal180 " +
                           png.toHex() + "}b{\\*\\shppict{\\pict\\jpegblip " + jpeg.toHex() +
                           "}}{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png +
                           "}{\\pict\\emfblip 0102}{\\pict\\pngblip 00ff}c\\par}";
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtf, doc));
    EXPECT_EQ(describe(doc).toStdString(),
              "P align=1 margins=0,0,0,0,0 'a'{" + doc.defaultFont().family().toStdString() +
                  " 12} [image 16x12 of 8x6 #ff0000] 'b'{" +
                  doc.defaultFont().family().toStdString() +
                  " 12} [image 8x6 of 8x6 #000000] [image 8x6 of 8x6 #ff0000] 'c'{" +
                  doc.defaultFont().family().toStdString() + " 12}");
}

TEST_F(Rtf, PlainTextFilesAreReadAsText) {
    EXPECT_EQ(textOf("Zażółć\r\ngęślą\rjaźń\n"), QStringLiteral("Zażółć\ngęślą\njaźń\n"));
    EXPECT_EQ(textOf("\xEF\xBB\xBFz BOM"), QStringLiteral("z BOM"));
    EXPECT_EQ(textOf("\xb3\xb9ka w 1250"), QStringLiteral("łąka w 1250"));
    EXPECT_EQ(textOf(QByteArray("\xFF\xFEz\0a\0", 6)), QStringLiteral("za"));
    EXPECT_EQ(textOf(""), QString());
    // A picture or other binary file is no text: the document is left empty, with the reason.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("poprzedni"));
    QString error;
    EXPECT_FALSE(readRtf(testsupport::pngPicture(), doc, &error));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ(error, QStringLiteral("Plik nie jest dokumentem RTF ani plikiem tekstowym."));
}

TEST_F(Rtf, FilesOfADesktopWordProcessorOpenWithTheirFormats) {
    QTextDocument doc;
    QString note;
    ASSERT_TRUE(readRtf(file("libreoffice_oferta.rtf"), doc, &note));
    EXPECT_EQ(note, QString());
    const auto block = [&doc](const QString& start) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            if (b.text().startsWith(start)) return b;
        ADD_FAILURE() << start.toStdString();
        return QTextBlock();
    };
    const auto formatOf = [&](const QString& text) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        ADD_FAILURE() << text.toStdString();
        return QTextCharFormat();
    };
    const QTextBlock heading = block(QStringLiteral("Oferta handlowa nr 7/2026"));
    EXPECT_TRUE(heading.blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_EQ(formatOf(QStringLiteral("Oferta")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(QStringLiteral("Oferta")).fontPointSize(), 24);
    EXPECT_EQ(formatOf(QStringLiteral("Oferta")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("DejaVu Serif")});
    EXPECT_TRUE(block(QStringLiteral("Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ.")).isValid());
    EXPECT_EQ(formatOf(QStringLiteral("zawory kulowe")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(QStringLiteral("kołnierze")).fontItalic());
    EXPECT_TRUE(formatOf(QStringLiteral("uszczelki")).fontUnderline());
    EXPECT_EQ(formatOf(QStringLiteral("Duży tekst")).fontPointSize(), 16);
    EXPECT_EQ(formatOf(QStringLiteral("mały tekst")).fontPointSize(), 9);
    const QTextList* bullets = block(QStringLiteral("Pierwsza pozycja – zawór")).textList();
    ASSERT_NE(bullets, nullptr);
    EXPECT_EQ(bullets->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(bullets->count(), 3);
    const QTextList* numbers = block(QStringLiteral("Płatność przelewem")).textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(numbers->count(), 2);
    EXPECT_TRUE(block(QStringLiteral("Z poważaniem, Łukasz Żółkiewski")).blockFormat().alignment() &
                Qt::AlignRight);

    // Hand-written the way the Windows rich edit control (WordPad, the old offer editor) writes,
    // with the null byte it leaves after the last brace.
    ASSERT_TRUE(readRtf(file("richedit_oferta.rtf"), doc, &note));
    EXPECT_EQ(note, QString());
    EXPECT_TRUE(block(QStringLiteral("Oferta nr 12/2026")).blockFormat().alignment() &
                Qt::AlignHCenter);
    EXPECT_EQ(formatOf(QStringLiteral("Oferta nr")).fontPointSize(), 16);
    EXPECT_EQ(formatOf(QStringLiteral("Oferta nr")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Arial CE")});
    EXPECT_EQ(formatOf(QStringLiteral("zawory")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(QStringLiteral("kołnierze")).fontItalic());
    EXPECT_TRUE(formatOf(QStringLiteral("uszczelki")).fontUnderline());
    EXPECT_EQ(formatOf(QStringLiteral("Łódź")).foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(block(QStringLiteral("Zamawiający")).text(),
              QStringLiteral("Zamawiający: Łódź, ul. Świętego Stanisława"));
    const QTextList* items = block(QStringLiteral("pierwsza pozycja")).textList();
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->count(), 2);
    EXPECT_EQ(items->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(block(QStringLiteral("Z poważaniem")).textList(), nullptr);
    EXPECT_TRUE(block(QStringLiteral("Z poważaniem")).blockFormat().alignment() & Qt::AlignRight);

    ASSERT_TRUE(readRtf(file("libreoffice_obrazek.rtf"), doc, &note));
    EXPECT_EQ(note, QString());
    EXPECT_TRUE(describe(doc).contains(QStringLiteral("[image 8x6 of 8x6 #000080]")))
        << describe(doc).toStdString();
    EXPECT_TRUE(block(QStringLiteral("Nagłówek z logo")).blockFormat().alignment() &
                Qt::AlignHCenter);
    EXPECT_EQ(formatOf(QStringLiteral("Czerwony")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(QStringLiteral("zakreślony")).background().color(), QColor(255, 255, 0));
    EXPECT_TRUE(formatOf(QStringLiteral("przekreślony")).fontStrikeOut());
}

} // namespace

// Malformed and hostile RTF: the reader never crashes, hangs or reads past the data, keeps what
// it could read, and says what it left out. The fuzz case mutates real files with a fixed seed so
// that a failure is repeatable; the sanitizer build runs it too.
#include "documents/rtf.h"
#include "rtfdescribe.h"
#include "support/application.h"
#include "support/pictures.h"
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextCursor>
#include <QTextList>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using documents::readRtf;
using documents::writeRtf;

namespace {

class RtfMalformed : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::application<QGuiApplication>();
        // Broken pictures are expected here; the image reader's complaints are not news.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    }

    // Reads `data` from a copy in a buffer of its own size, so a read past its end is seen by
    // the sanitizers.
    static QString read(const QByteArray& data, QTextDocument& doc, bool* ok = nullptr) {
        const std::unique_ptr<char[]> exact(new char[size_t(std::max<qsizetype>(data.size(), 1))]);
        std::copy(data.begin(), data.end(), exact.get());
        QString note;
        const bool result = readRtf(QByteArray::fromRawData(exact.get(), data.size()), doc, &note);
        if (ok) *ok = result;
        return note;
    }

    static QByteArray file(const char* name) {
        QFile f(QStringLiteral(PELK_RTF_DATA "/") + QLatin1String(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        return f.readAll();
    }
};

QByteArray richSample() {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(Qt::red));
    c.insertText(QStringLiteral("Nagłówek "), bold);
    c.insertText(QStringLiteral("zwykły tekst € Жук"));
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    c.insertList(list);
    c.insertText(QStringLiteral("punkt"));
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("p")),
                    testsupport::sampleImage(Qt::blue, 3, 2));
    QTextImageFormat image;
    image.setName(QStringLiteral("p"));
    c.insertImage(image);
    return writeRtf(doc);
}

TEST_F(RtfMalformed, UnbalancedAndTruncatedFilesKeepWhatWasRead) {
    QTextDocument doc;
    // Closing braces past the document's own group: the rest is not the document.
    EXPECT_EQ(read("{\\rtf1 a\\par}}}}b", doc), QString());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a"));
    // Groups never closed.
    EXPECT_EQ(read("{\\rtf1 a{\\b b{{{\\i c", doc),
              QStringLiteral("Dokument jest niekompletny; wczytano tyle, ile się dało."));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("abc"));
    // Cut inside escapes and control words.
    for (const char* cut : {"{\\rtf1 a\\", "{\\rtf1 a\\'", "{\\rtf1 a\\'4", "{\\rtf1 a\\u",
                            "{\\rtf1 a\\u-", "{\\rtf1 a{\\*", "{\\rtf1 a{\\pict\\pngblip 89"}) {
        read(cut, doc);
        EXPECT_EQ(doc.toPlainText(), QStringLiteral("a")) << cut;
    }
    // Every prefix of a real file: lists, a picture, Unicode, tables.
    const QByteArray sample = richSample();
    for (qsizetype n = 0; n <= sample.size(); ++n)
        read(sample.left(n), doc);
    EXPECT_EQ(read(sample, doc), QString());
    EXPECT_TRUE(doc.toPlainText().startsWith(QStringLiteral("Nagłówek zwykły tekst € Жук")));
}

TEST_F(RtfMalformed, NestingBeyondTheLimitIsLeftOutWithANote) {
    const auto nested = [](int depth) -> QByteArray {
        return "{\\rtf1 przed" + QByteArray(depth, '{') + "\\b g\\'b3\\'eaboko" +
               QByteArray(depth, '}') + " po\\par}";
    };
    QTextDocument doc;
    EXPECT_EQ(read(nested(150), doc), QString());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("przedgłęboko po"));

    // Deep enough to overflow any stack if the reader recursed, and never closed either.
    const std::vector<QByteArray> deep = {nested(300), nested(1'000'000),
                                          QByteArray("{\\rtf1 a") + QByteArray(2'000'000, '{')};
    for (const QByteArray& data : deep) {
        const QString note = read(data, doc);
        EXPECT_TRUE(note.contains(QStringLiteral("więcej niż 200 zagnieżdżonych grup")))
            << note.toStdString();
        EXPECT_FALSE(doc.toPlainText().contains(QStringLiteral("głęboko")));
    }
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a"));
    read(nested(1'000'000), doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("przed po"));
}

TEST_F(RtfMalformed, HostileNumbersAndBinaryData) {
    QTextDocument doc;
    // \bin claiming more than the file has, or a negative length.
    read("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xx}b}", doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a"));
    read("{\\rtf1 a\\bin-5 b\\bin2147483647", doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("ab"));
    // Out-of-range parameters are held to sane values, never trusted.
    read("{\\rtf1\\fs99999999999999999999\\li-2147483648\\ri2147483647\\uc99999 a\\u99999999 "
         "b\\u-2147483648 c{\\colortbl;\\red9999;}\\cf99999\\highlight-1\\f-7 d\\par}",
         doc);
    EXPECT_TRUE(doc.toPlainText().startsWith(u'a'));
    // Word and number runs longer than any real one.
    read("{\\rtf1 \\" + QByteArray(100000, 'x') + "1" + QByteArray(100000, '9') + " e\\par}", doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("e"));
    // Garbage after a valid start, picture data that is no picture.
    std::mt19937 random(7);
    QByteArray garbage = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        garbage += char(random() & 0xFF);
    read(garbage, doc);
    read("{\\rtf1{\\pict\\pngblip " + QByteArray(4000, 'f') + "}{\\pict\\jpegblip\\bin3 abc}}",
         doc);
    EXPECT_EQ(doc.toPlainText(), QString());
}

// Mutations a fuzzer would make, biased to the characters RTF is made of.
QByteArray mutate(QByteArray data, std::mt19937& random) {
    static const char* const pieces[] = {
        "{",      "}",          "\\",          "\\'",    "\\u",         "\\uc3",
        "\\bin",  "\\bin9999",  "\\par",       "\\pard", "\\plain",     "{\\*",
        "\\pict", "\\pngblip",  "{\\listtext", "\\ls1",  "\\ilvl9",     "{\\*\\pn\\pnlvlblt}",
        "\\f",    "\\fs",       "\\cf",        "-",      "99999999999", "\\'b3",
        ";",      "{\\fonttbl", "{\\colortbl"};
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits && !data.isEmpty(); ++e) {
        const qsizetype at = qsizetype(random() % quint32(data.size()));
        switch (random() % 6) {
        case 0:
            data[at] = char(random() & 0xFF);
            break;
        case 1:
            data.insert(at, pieces[random() % std::size(pieces)]);
            break;
        case 2:
            data.remove(at, qsizetype(random() % 64));
            break;
        case 3:
            data.insert(at, data.mid(qsizetype(random() % quint32(data.size())), 200));
            break;
        case 4:
            data.truncate(at);
            break;
        case 5:
            data[at] = "{}\\;0 a'"[random() % 8];
            break;
        }
    }
    return data;
}

TEST_F(RtfMalformed, MutatedFilesNeverBreakTheReaderOrTheWriter) {
    const std::vector<QByteArray> corpus = {
        richSample(), file("libreoffice_oferta.rtf"), file("libreoffice_obrazek.rtf"),
        file("richedit_oferta.rtf"),
        "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}{\\pntext\\'b7\\tab}"
        "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\uc1\\u322?\\'b3 {\\field{\\*\\fldinst x}"
        "{\\fldrslt y}}\\par}"};
    // A longer run or another seed on demand: PELK_FUZZ_INPUTS=1000000 PELK_FUZZ_SEED=5.
    const int inputs = qEnvironmentVariableIntValue("PELK_FUZZ_INPUTS") > 0
                           ? qEnvironmentVariableIntValue("PELK_FUZZ_INPUTS")
                           : 5000;
    const int seed = qEnvironmentVariableIntValue("PELK_FUZZ_SEED");
    std::mt19937 random(seed ? unsigned(seed) : 20261210u);
    int readBack = 0;
    for (int i = 0; i < inputs; ++i) {
        const QByteArray input = mutate(corpus[size_t(i) % corpus.size()], random);
        QTextDocument doc;
        read(input, doc);
        // Whatever the reader made of it, the writer writes, and that reads back the same.
        if (i % 10 == 0) {
            QTextDocument again;
            ASSERT_EQ(read(writeRtf(doc), again), QString()) << "input " << i;
            ASSERT_EQ(testsupport::describe(again, false).toStdString(),
                      testsupport::describe(doc, false).toStdString())
                << "input " << i;
            ++readBack;
        }
    }
    EXPECT_EQ(readBack, (inputs + 9) / 10);
}

} // namespace

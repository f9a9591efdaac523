#include "documents/rtf.h"

#include "documents/rtfcodepage.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <cmath>
#include <vector>

namespace documents {

namespace {

using rtf::encode1250;

void appendNumber(QByteArray& out, int value) {
    char buffer[16];
    int length = 0;
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        buffer[length++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) out += '-';
    while (length)
        out += buffer[--length];
}

void appendWord(QByteArray& out, const char* word, int value) {
    out += word;
    appendNumber(out, value);
}

int twips(qreal units) {
    return int(std::lround(units * 20));
}

// Text in code page 1250 where it can be, \uN with a "?" for readers without Unicode otherwise.
void appendText(QByteArray& out, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case 0x2028:
            out += "\\line ";
            continue;
        case 0x00A0:
            out += "\\~";
            continue;
        case 0x00AD:
            out += "\\-";
            continue;
        case 0x2011:
            out += "\\_";
            continue;
        case 0xFFFC:
            continue;
        default:
            break;
        }
        if (c < 0x20) continue;
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        const int byte = encode1250(c);
        if (byte >= 0) {
            out += "\\'";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            appendWord(out, "\\u", int(qint16(c)));
            out += '?';
        }
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : doc_(doc) {
        defaultFamily_ = doc.defaultFont().family();
        defaultSize_ = doc.defaultFont().pointSizeF() > 0 ? doc.defaultFont().pointSizeF() : 12;
    }
    QByteArray write();

private:
    QString family(const QTextCharFormat& format) const;
    qreal pointSize(const QTextCharFormat& format) const;
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    void collect(const QTextCharFormat& format);
    void charProps(QByteArray& out, const QTextCharFormat& format);
    void paragraph(QByteArray& out, const QTextBlock& block);
    void listLabel(QByteArray& out, const QTextBlock& block, QTextList* list);
    void picture(QByteArray& out, const QTextImageFormat& format);

    const QTextDocument& doc_;
    QString defaultFamily_;
    qreal defaultSize_ = 12;
    QStringList fonts_;
    QHash<QString, int> fontIndexes_;
    std::vector<QRgb> colors_; // colour table entries from 1 on
    QHash<QRgb, int> colorIndexes_;
};

QString Writer::family(const QTextCharFormat& format) const {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() || families.first().isEmpty() ? defaultFamily_ : families.first();
}

qreal Writer::pointSize(const QTextCharFormat& format) const {
    return format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0
               ? format.fontPointSize()
               : defaultSize_;
}

int Writer::fontIndex(const QString& family) {
    const auto found = fontIndexes_.constFind(family);
    if (found != fontIndexes_.constEnd()) return *found;
    fonts_.append(family);
    return *fontIndexes_.insert(family, int(fonts_.size() - 1));
}

int Writer::colorIndex(const QColor& color) {
    const QRgb rgb = color.rgb();
    const auto found = colorIndexes_.constFind(rgb);
    if (found != colorIndexes_.constEnd()) return *found;
    colors_.push_back(rgb);
    return *colorIndexes_.insert(rgb, int(colors_.size()));
}

void Writer::collect(const QTextCharFormat& format) {
    fontIndex(family(format));
    if (format.hasProperty(QTextFormat::ForegroundBrush)) colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush)) colorIndex(format.background().color());
}

void Writer::charProps(QByteArray& out, const QTextCharFormat& format) {
    appendWord(out, "\\f", fontIndex(family(format)));
    appendWord(out, "\\fs", int(std::lround(pointSize(format) * 2)));
    if (format.fontWeight() > QFont::Medium) out += "\\b";
    if (format.fontItalic()) out += "\\i";
    if (format.fontUnderline()) out += "\\ul";
    if (format.fontStrikeOut()) out += "\\strike";
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript) out += "\\super";
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript) out += "\\sub";
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        appendWord(out, "\\cf", colorIndex(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        appendWord(out, "\\highlight", colorIndex(format.background().color()));
    out += ' ';
}

void Writer::listLabel(QByteArray& out, const QTextBlock& block, QTextList* list) {
    const QTextListFormat::Style style = list->format().style();
    const bool bullet = style == QTextListFormat::ListDisc ||
                        style == QTextListFormat::ListCircle ||
                        style == QTextListFormat::ListSquare;
    // The label as other programs show it, then the numbering they read; \ilvl after it.
    out += "{\\pntext\\f0 ";
    appendText(out, bullet ? QStringView(u"\u2022") : QStringView(list->itemText(block)));
    out += "\\tab}{\\*\\pn";
    switch (style) {
    case QTextListFormat::ListDecimal:
        out += "\\pnlvlbody\\pndec";
        break;
    case QTextListFormat::ListLowerAlpha:
        out += "\\pnlvlbody\\pnlcltr";
        break;
    case QTextListFormat::ListUpperAlpha:
        out += "\\pnlvlbody\\pnucltr";
        break;
    case QTextListFormat::ListLowerRoman:
        out += "\\pnlvlbody\\pnlcrm";
        break;
    case QTextListFormat::ListUpperRoman:
        out += "\\pnlvlbody\\pnucrm";
        break;
    default:
        out += "\\pnlvlblt";
        break;
    }
    out += bullet ? "\\pnf0\\pnindent360{\\pntxtb\\'95}}" : "\\pnstart1\\pnindent360{\\pntxta .}}";
    const int indent = std::max(list->format().indent(), 1);
    if (indent > 1) appendWord(out, "\\ilvl", std::min(indent - 1, 8));
    appendWord(out, "\\li", indent * 360);
    out += "\\fi-360";
}

void Writer::picture(QByteArray& out, const QTextImageFormat& format) {
    const QVariant resource = doc_.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull()) return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return;
    const qreal width = format.width() > 0 ? format.width() : image.width();
    const qreal height = format.height() > 0 ? format.height() : image.height();
    out += "{\\pict\\pngblip";
    appendWord(out, "\\picw", image.width());
    appendWord(out, "\\pich", image.height());
    appendWord(out, "\\picwgoal", int(std::lround(width * 15)));
    appendWord(out, "\\pichgoal", int(std::lround(height * 15)));
    out += "\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out += hex.mid(i, 128);
        out += "\r\n";
    }
    out += '}';
}

void Writer::paragraph(QByteArray& out, const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    out += "{\\pard\\plain";
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        out += "\\qc";
    else if (alignment & Qt::AlignJustify)
        out += "\\qj";
    else if (alignment & Qt::AlignRight)
        out += "\\qr";
    else
        out += "\\ql";
    QTextList* list = block.textList();
    if (list) {
        listLabel(out, block, list);
    } else {
        // The indent steps of the editor's indent buttons are a margin to other programs.
        const qreal indent = format.indent() * doc_.indentWidth();
        if (int li = twips(format.leftMargin() + indent)) appendWord(out, "\\li", li);
        if (int fi = twips(format.textIndent())) appendWord(out, "\\fi", fi);
    }
    if (int ri = twips(format.rightMargin())) appendWord(out, "\\ri", ri);
    if (int sb = twips(format.topMargin())) appendWord(out, "\\sb", sb);
    if (int sa = twips(format.bottomMargin())) appendWord(out, "\\sa", sa);
    out += ' ';

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat charFormat = fragment.charFormat();
        if (charFormat.isImageFormat()) {
            for (int i = 0; i < fragment.length(); ++i)
                picture(out, charFormat.toImageFormat());
            continue;
        }
        out += '{';
        charProps(out, charFormat);
        appendText(out, fragment.text());
        out += '}';
    }
    if (block.length() <= 1) charProps(out, block.charFormat());
    out += "\\par}\r\n";
}

QByteArray Writer::write() {
    // The tables come first in the file but name only what the body uses, so the body is written
    // first and the tables put in front of it.
    fontIndex(defaultFamily_);
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
        collect(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            collect(it.fragment().charFormat());
    }
    QByteArray body;
    body.reserve(doc_.characterCount() * 2 + 1024);
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next())
        paragraph(body, block);

    QByteArray out;
    out.reserve(body.size() + 1024);
    out += "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1\r\n{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        appendWord(out, "{\\f", int(i));
        out += "\\fnil\\fcharset238 ";
        appendText(out, QString(fonts_.at(i)).remove(u';'));
        out += ";}";
    }
    out += "}\r\n{\\colortbl;";
    for (const QRgb rgb : colors_) {
        appendWord(out, "\\red", qRed(rgb));
        appendWord(out, "\\green", qGreen(rgb));
        appendWord(out, "\\blue", qBlue(rgb));
        out += ';';
    }
    out += "}\r\n";
    out += body;
    out += "}\r\n";
    return out;
}

} // namespace

QByteArray writeRtf(const QTextDocument& doc) {
    Writer writer(doc);
    return writer.write();
}

} // namespace documents

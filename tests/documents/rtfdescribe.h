#pragma once
// A document as text a test can compare and print: per paragraph its format and list, per run
// of characters its text and the character format it shows with (the document's default font
// filled in where a run names none).
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

namespace testsupport {

inline QString describeChars(const QTextDocument& doc, const QTextCharFormat& f) {
    QStringList parts;
    const QStringList families = f.fontFamilies().toStringList();
    parts << (families.isEmpty() ? doc.defaultFont().family() : families.first());
    parts << QString::number(f.hasProperty(QTextFormat::FontPointSize)
                                 ? f.fontPointSize()
                                 : doc.defaultFont().pointSizeF());
    if (f.fontWeight() > QFont::Medium) parts << QStringLiteral("b");
    if (f.fontItalic()) parts << QStringLiteral("i");
    if (f.fontUnderline()) parts << QStringLiteral("u");
    if (f.fontStrikeOut()) parts << QStringLiteral("s");
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) parts << QStringLiteral("sup");
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) parts << QStringLiteral("sub");
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << QStringLiteral("fg=") + f.foreground().color().name();
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        parts << QStringLiteral("bg=") + f.background().color().name();
    return parts.join(u' ');
}

inline QString describeImage(const QTextDocument& doc, const QTextImageFormat& f) {
    const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    const int width = f.width() > 0 ? int(f.width()) : image.width();
    const int height = f.height() > 0 ? int(f.height()) : image.height();
    return QStringLiteral("[image %1x%2 of %3x%4 %5]")
        .arg(width)
        .arg(height)
        .arg(image.width())
        .arg(image.height())
        .arg(image.isNull() ? QStringLiteral("none") : image.pixelColor(0, 0).name());
}

// Without `itemNumbers` two lists of one style in a row look like one list: RTF as the writer
// writes it cannot tell them apart.
inline QString describe(const QTextDocument& doc, bool itemNumbers = true) {
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat b = block.blockFormat();
        int alignment = int(b.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
        if (alignment == 0) alignment = Qt::AlignLeft;
        QString line = QStringLiteral("P align=%1 margins=%2,%3,%4,%5,%6")
                           .arg(alignment)
                           .arg(b.leftMargin())
                           .arg(b.rightMargin())
                           .arg(b.textIndent())
                           .arg(b.topMargin())
                           .arg(b.bottomMargin());
        if (const QTextList* list = block.textList())
            line += QStringLiteral(" list=%1/%2 #%3")
                        .arg(int(list->format().style()))
                        .arg(list->format().indent())
                        .arg(itemNumbers ? list->itemNumber(block) : 0);
        if (block.length() <= 1)
            line += QStringLiteral(" empty{") + describeChars(doc, block.charFormat()) + u'}';
        // Runs that show the same are one run, however the document split them.
        QString runText, runFormat;
        const auto endRun = [&] {
            if (!runFormat.isEmpty()) line += QStringLiteral(" '%1'{%2}").arg(runText, runFormat);
            runText.clear();
            runFormat.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                endRun();
                line += u' ' + describeImage(doc, fragment.charFormat().toImageFormat());
                continue;
            }
            const QString format = describeChars(doc, fragment.charFormat());
            if (format != runFormat) endRun();
            runFormat = format;
            runText += fragment.text();
        }
        endRun();
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace testsupport

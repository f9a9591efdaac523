#include "engine/error.h"
#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include <QDir>
#include <QSaveFile>

namespace sample {

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw engine::EngineError(
            engine::EngineError::Kind::Io,
            QStringLiteral("Nie można zapisać pliku %1.").arg(QDir::toNativeSeparators(path)));
}

// The files the document attributes point to: a data sheet per group and a few certificates.
void writeDocuments(const Context& c) {
    if (!QDir().mkpath(c.documentsFolder))
        throw engine::EngineError(engine::EngineError::Kind::Io,
                                  QStringLiteral("Nie można utworzyć folderu %1.")
                                      .arg(QDir::toNativeSeparators(c.documentsFolder)));
    for (int g = 0; g < kGroupCount; ++g) {
        const QString group = QString::fromUtf8(groupKinds()[g].name);
        QString html =
            QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"pl\"><head><meta charset=\"utf-8\">"
                           "<title>Karta katalogowa - %1</title></head>\r\n<body>\r\n"
                           "<h1>Karta katalogowa: %1</h1>\r\n<table border=\"1\">\r\n")
                .arg(group);
        for (Attr a : groupKinds()[g].templ)
            html += QStringLiteral("<tr><td>%1</td><td>wg zamówienia</td></tr>\r\n")
                        .arg(QString::fromUtf8(attributeKinds()[a].name).toHtmlEscaped());
        html += QStringLiteral("</table>\r\n<p>Dane orientacyjne; wiążące są dane "
                               "producenta.</p>\r\n</body></html>\r\n");
        writeFile(datasheetPath(c, g), html.toUtf8());
    }
    for (int k = 0; k < certificateCount(); ++k) {
        const QString text =
            QStringLiteral("ŚWIADECTWO ODBIORU 3.1 wg PN-EN 10204\r\nNr %1/2024\r\n"
                           "Wyrób zgodny z zamówieniem i wymaganiami normy.\r\n")
                .arg(k + 1);
        writeFile(certificatePath(c, k), text.toUtf8());
    }
}

} // namespace

void makeAttributes(Context& c) {
    writeDocuments(c);

    RowWriter& groups = c.session->writer(QStringLiteral("Grupa"), {QStringLiteral("Grupa_Nazwa")});
    for (const auto& g : groupKinds())
        c.groupNrs.push_back(int(groups.add({QString::fromUtf8(g.name)})));
    reportRows(c, groups);

    RowWriter& attributes = c.session->writer(
        QStringLiteral("Cecha"), {QStringLiteral("Cecha_Opis"), QStringLiteral("Cecha_Typ")});
    for (const auto& a : attributeKinds())
        c.attributeNrs.push_back(
            int(attributes.add({QString::fromUtf8(a.name), QString::fromLatin1(a.type)})));
    reportRows(c, attributes);

    RowWriter& values =
        c.session->writer(QStringLiteral("Wartosci"), {QStringLiteral("Wartosci_Cecha_Nr"),
                                                       QStringLiteral("Wartosci_Wartosc")});
    for (int a = 0; a < kAttrCount; ++a)
        for (const char* v : attributeKinds()[std::size_t(a)].values)
            values.add({c.attributeNrs[std::size_t(a)], QString::fromUtf8(v)});
    reportRows(c, values);

    RowWriter& templates =
        c.session->writer(QStringLiteral("Szablon"),
                          {QStringLiteral("Szablon_Grupa_Nr"), QStringLiteral("Szablon_Znaczenie"),
                           QStringLiteral("Szablon_Cecha_Nr")});
    for (int g = 0; g < kGroupCount; ++g) {
        int position = 0;
        for (Attr a : groupKinds()[std::size_t(g)].templ)
            templates.add({c.groupNrs[std::size_t(g)], ++position, c.attributeNrs[std::size_t(a)]});
    }
    reportRows(c, templates);

    // Each group is made by a few of the producers.
    for (int g = 0; g < kGroupCount; ++g) {
        Rng r = c.rng(kAttributes, std::uint64_t(g));
        std::vector<int> picked;
        const int n = std::max(2, int(c.producers.size()) / 6);
        for (int k = 0; k < n; ++k)
            picked.push_back(r.pick(c.producers));
        c.groupProducers.push_back(std::move(picked));
    }
}

} // namespace sample

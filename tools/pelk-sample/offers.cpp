// Sample offers: rows of the offer list with their documents, and the header and footer files,
// written as Rich Text Format by hand so they look like files from a word processor.
#include "engine/table.h"
#include "sample.h"
#include "store/mainfolder_schema.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

namespace sample {

namespace {

const QString kOwner = QStringLiteral("Zakład Mechaniki Precyzyjnej „Łożysko” Sp. z o.o.");

// Text for an RTF file: Polish letters as \'xx in code page 1250, RTF's own characters escaped.
QByteArray rtfText(const QString& text) {
    QStringEncoder cp1250("windows-1250");
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u < 0x80) {
            out += char(u);
        } else {
            const QByteArray b = cp1250.encode(QString(ch));
            if (b.size() == 1 && b[0] != '?')
                out +=
                    QByteArray("\\'") + QByteArray::number(uchar(b[0]), 16).rightJustified(2, '0');
            else
                out += "\\u" + QByteArray::number(int(u)) + '?';
        }
    }
    return out;
}

QByteArray document(const QByteArray& body) {
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           body + "}\n";
}

QByteArray heading(const QString& text) {
    return "\\pard\\qc\\b\\fs28 " + rtfText(text) + "\\b0\\fs20\\par\n";
}
QByteArray paragraph(const QString& text) {
    return "\\pard\\ql " + rtfText(text) + "\\par\n";
}
QByteArray bullet(const QString& text) {
    return "{\\pntext\\f0 \\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb \\'95}}"
           "\\pard\\fi-360\\li720 " +
           rtfText(text) + "\\par\n";
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

struct SampleOffer {
    const char* company;
    const char* description;
    const char* subject;
    const char* lines[3];
};
const SampleOffer kOffers[] = {
    {"STALMET",
     "Śruby i nakrętki – dostawa kwartalna",
     "Oferta na elementy złączne",
     {"Śruby M8×40 ocynkowane, klasa 8.8", "Nakrętki M8 samokontrujące",
      "Podkładki sprężyste, pakowane po 100 szt."}},
    {"HYDROTECH",
     "Armatura do instalacji wodnej",
     "Oferta na zawory i złączki",
     {"Zawory kulowe ½″ mosiężne", "Złączki zaciskowe 16 mm", "Uszczelki EPDM – zestaw"}},
    {"NARZĘDZIA-POL",
     "Narzędzia ręczne dla warsztatu",
     "Oferta na narzędzia",
     {"Klucze płaskie 8–22 mm, komplet", "Wkrętaki izolowane 1000 V", "Szczypce uniwersalne"}},
};

} // namespace

void makeOffers(const QString& mainFolder, const QDate& today) {
    writeFile(
        QDir(mainFolder).filePath(store::kHeaderFile),
        document(heading(kOwner) + paragraph(QStringLiteral("ul. Przemysłowa 12, 61-001 Poznań"))));
    writeFile(QDir(mainFolder).filePath(store::kFooterFile),
              document(paragraph(QStringLiteral("Z poważaniem")) + paragraph(kOwner)));
    const QString folder = QDir(mainFolder).filePath(store::kOffersFolder);
    engine::Table offers(folder, QStringLiteral("Oferty"));
    offers.open();
    int day = 0;
    for (const SampleOffer& o : kOffers) {
        offers.append();
        offers.setValue(QStringLiteral("Oferty_Data"), today.addDays(-7 * day++));
        offers.setValue(QStringLiteral("Oferty_Firma"), QString::fromUtf8(o.company));
        offers.setValue(QStringLiteral("Oferty_Opis"), QString::fromUtf8(o.description));
        offers.post();
        QByteArray body = heading(QString::fromUtf8(o.subject)) +
                          paragraph(QStringLiteral("Szanowni Państwo, w odpowiedzi na zapytanie "
                                                   "przedstawiamy ofertę na następujące pozycje:"));
        for (const char* line : o.lines)
            body += bullet(QString::fromUtf8(line));
        body += paragraph(QStringLiteral("Termin dostawy: 14 dni od złożenia zamówienia. "
                                         "Ceny nie zawierają podatku VAT."));
        const QString nr = offers.asString(QStringLiteral("Oferty_Nr"));
        writeFile(QDir(folder).filePath(nr + QStringLiteral(".rtf")), document(body));
    }
}

} // namespace sample

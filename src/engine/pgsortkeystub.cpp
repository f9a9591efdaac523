#include "engine/pgsortkeystub.h"
#include "engine/sqlfunctions.h"
#include <QString>

namespace engine {

QByteArray polishSortKey(QStringView text) {
    // Four weights per code point: a letter with a Polish mark comes right after its base.
    static const struct {
        char16_t letter;
        char16_t base;
        int step;
    } marked[] = {{u'Ą', u'A', 1}, {u'Ć', u'C', 1}, {u'Ę', u'E', 1},
                  {u'Ł', u'L', 1}, {u'Ń', u'N', 1}, {u'Ó', u'O', 1},
                  {u'Ś', u'S', 1}, {u'Ź', u'Z', 1}, {u'Ż', u'Z', 2}};
    const QString upper = upperPolish(text);
    QByteArray out;
    out.reserve(upper.size() * 4);
    for (char32_t c : upper.toUcs4()) {
        quint32 w = quint32(c) * 4;
        for (const auto& m : marked)
            if (c == m.letter) w = quint32(m.base) * 4 + quint32(m.step);
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((w >> shift) & 0xff));
    }
    return out;
}

} // namespace engine

#pragma once
#include <QByteArray>
#include <QStringView>

namespace engine {

// TEMPORARY stand-in for engine/sortkey.h: bytes whose order follows comparePolish for the
// letters of the Polish alphabet (case-insensitive, a < ą < b, l < ł < m, z < ź < ż), used
// only through sortKeyOf() in serverschema.cpp. Replaced by the engine's real sort key.
QByteArray polishSortKey(QStringView text);

} // namespace engine

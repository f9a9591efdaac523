#pragma once
#include <QByteArray>
#include <QStringView>

namespace engine {

// The text order of comparePolish() as bytes, for a server that compares bytes as bytes
// (PostgreSQL's bytea: byte by byte, a shorter key that is the beginning of a longer one first).
// Comparing two keys gives what comparePolish gives for their texts, and two keys are equal
// exactly when their texts compare equal.
//
// Each character becomes one "sort code": the characters up to U+017F are ranked by their
// weight (equal weights share a code, so 'a' and 'A' do), everything above keeps its own code
// point, which already sorts after all of them. The key is those codes written as UTF-8 (a lone
// surrogate as its three bytes), so a Polish word keeps its length and the server can build the
// same key with translate() and convert_to() alone.
QByteArray polishSortKey(QStringView text);

// The sort code of one code point (see above); what the server's pl_key() maps it to.
char32_t polishSortCode(char32_t cp);

// The key of a text is its characters' codes one after another, so the texts beginning with
// `prefix` in the order above are exactly those whose keys lie in
//   [polishSortKey(prefix), polishSortKeyUpperBound(prefix))
// (0xFF never occurs in UTF-8, so it follows every continuation of the prefix's key).
QByteArray polishSortKeyUpperBound(QStringView prefix);

} // namespace engine

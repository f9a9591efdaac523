#pragma once
#include "shell/itemlistprintout.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace shell {

// One line of a CSV file as spreadsheets here read it: fields separated by ";", a field holding
// ";", a quote, a line break or outer blanks in quotes with its quotes doubled; no line end.
QString csvLine(const QStringList& fields);

enum class ExportResult { Written, Cancelled, Failed };

// Writes the list (captions, then every row) to `path` as CSV in UTF-8 with a byte order mark,
// lines ended by CR LF. The file is written under a temporary name and takes `path`'s place only
// when complete, so a cancelled or failed export leaves an earlier file of that name as it was.
// `progress` is told the rows written so far and the total between pages; false cancels.
// `error` receives the system's reason for a failure.
ExportResult writeItemListCsv(const ItemListSource& list, const QString& path,
                              const std::function<bool(int done, int total)>& progress,
                              QString* error = nullptr);

// The given rows (0-based, in any order; written in list order) as tab-separated text under a
// line of captions, as the clipboard hands them to a spreadsheet. Tabs and line breaks inside
// values become blanks.
QString itemListRowsAsText(const ItemListSource& list, QList<int> rows);

} // namespace shell

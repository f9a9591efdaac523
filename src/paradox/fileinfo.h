#pragma once
#include <QString>
#include <optional>

namespace paradox {

// What the header of a Paradox table file says, read without the library, so that a damaged
// file is turned away before the library trusts it.
struct FileInfo {
    int recordSize = 0;
    int headerSize = 0;
    int blockSize = 0; // bytes
    qint64 records = 0;
    int fields = 0;
    int codePage = 0;      // 0 when the header has none (tables before version 4)
    qint64 autoInc = 0;    // the table's next autoincrement value as the header keeps it
    bool hasBlobs = false; // some field keeps its data in the .mb file
};

// Reads and checks the header of a table file and walks its chain of data blocks: every size
// and block number must lie within the file and the blocks must hold the rows the header counts.
// Returns the header, or puts the reason in `problem` (a Polish phrase) and returns nothing.
std::optional<FileInfo> checkTableFile(const QString& path, QString& problem);

// A memo and picture file: a whole number of 4 KB blocks, the first its header.
bool checkBlobFile(const QString& path, QString& problem);

} // namespace paradox

#include "args.h"
#include "commands.h"
#include "store/catalogue_schema.h"
#include <QDir>
#include <cstdio>

namespace pelkdb {

// The full catalogue creation, as the program does it for a new catalogue, without a message box.
int createCatalogueCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(0, 0, {});
    if (!QDir(c.folder).exists() && !QDir().mkpath(c.folder))
        throw UsageError(QStringLiteral("nie można utworzyć folderu %1").arg(c.folder));
    store::createCatalogue(c.folder);
    const QByteArray line = QStringLiteral("Utworzono katalog w folderze %1.\n")
                                .arg(QDir::toNativeSeparators(QDir(c.folder).absolutePath()))
                                .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    return 0;
}

} // namespace pelkdb

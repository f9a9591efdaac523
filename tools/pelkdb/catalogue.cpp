#include "args.h"
#include "commands.h"
#include "engine/serverlocation.h"
#include "store/catalogue_schema.h"
#include <QDir>
#include <cstdio>

namespace pelkdb {

// The full catalogue creation, as the program does it for a new catalogue, without a message box.
int createCatalogueCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(0, 0, {});
    // A catalogue on a server is a schema there, made by the engine; only a folder is made here.
    const bool server = engine::isServerLocation(c.folder);
    if (server) engine::parseServerLocation(c.folder);
    if (!server && !QDir(c.folder).exists() && !QDir().mkpath(c.folder))
        throw UsageError(QStringLiteral("nie można utworzyć folderu %1").arg(c.folder));
    store::createCatalogue(c.folder);
    const QByteArray line =
        (server ? QStringLiteral("Utworzono katalog %1.\n").arg(c.folder.trimmed())
                : QStringLiteral("Utworzono katalog w folderze %1.\n")
                      .arg(QDir::toNativeSeparators(QDir(c.folder).absolutePath())))
            .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    return 0;
}

} // namespace pelkdb

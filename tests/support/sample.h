#pragma once
// The sample-catalogue generator the tests run: the build names it for the tests that use it;
// otherwise it is looked for beside the tests in the build tree (build/tests/../tools).
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace testsupport {

inline QString samplePath() {
#ifdef PELK_SAMPLE_PATH
    return QStringLiteral(PELK_SAMPLE_PATH);
#else
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(self).dir().filePath(QStringLiteral("../tools/pelk-sample"));
#endif
}

} // namespace testsupport

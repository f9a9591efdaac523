#include "support/tempfolder.h"
#include <QDir>
#include <gtest/gtest.h>

TempFolder::TempFolder() : dir_(QDir::tempPath() + "/pelk-test-XXXXXX") {
    EXPECT_TRUE(dir_.isValid());
}

QString TempFolder::sub(const QString& name) const {
    QDir(dir_.path()).mkpath(name);
    return dir_.path() + "/" + name;
}

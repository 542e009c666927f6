#include "TestPlatform.h"

#include <QDir>

TestPlatform::TestPlatform() {
    QDir(dir.path()).mkpath(QStringLiteral("resources"));
    QDir(dir.path()).mkpath(QStringLiteral("Documents"));
    QDir(dir.path()).mkpath(QStringLiteral("home"));
}

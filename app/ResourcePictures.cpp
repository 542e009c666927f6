#include "app/ResourcePictures.h"

#include "core/Notifier.h"

const QImage& ResourcePictures::picture(const QString& name) {
    auto found = loaded_.find(name);
    if (found == loaded_.end()) {
        const QString file = folder_.filePath(name + QStringLiteral(".png"));
        found = loaded_.insert(name, file.isEmpty() ? QImage() : QImage(file));
    }
    return found.value();
}

#pragma once

#include <QHash>
#include <QImage>
#include <QString>

class ResourceFolder;

// The pictures of the resource folder, each loaded by name on first use ("Moyeu2" reads
// Moyeu2.png) and kept for the rest of the run. A picture that cannot be loaded is a null
// image, also kept, so its area stays empty and the file is not read again.
class ResourcePictures {
public:
    explicit ResourcePictures(const ResourceFolder& folder)
        : folder_(folder) {}
    const QImage& picture(const QString& name);

private:
    const ResourceFolder& folder_;
    QHash<QString, QImage> loaded_;
};

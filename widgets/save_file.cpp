#include "widgets/save_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velhorn::widgets {

std::optional<QString> saveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

QString saveFolder(QStandardPaths::StandardLocation kind, const QString& lastFolder)
{
    for (const QString& folder : {lastFolder, QStandardPaths::writableLocation(kind)}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

}  // namespace velhorn::widgets

#include "widgets/save_file.h"

#include <QSaveFile>

namespace velhorn::widgets {

std::optional<QString> saveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

}  // namespace velhorn::widgets

#pragma once

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

#include <optional>

namespace velhorn::widgets {

// Writes `bytes` to `path`, replacing an existing file only once the new one is whole. Nothing
// when it worked; the system's reason when it did not.
[[nodiscard]] std::optional<QString> saveWhole(const QString& path, const QByteArray& bytes);

// Where a save dialog opens: where the last save went, else the usual folder for `kind` where it
// exists, else the home folder (never the working folder, which a desktop launcher leaves at /).
[[nodiscard]] QString saveFolder(QStandardPaths::StandardLocation kind, const QString& lastFolder);

}  // namespace velhorn::widgets

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velhorn::widgets {

// Writes `bytes` to `path`, replacing an existing file only once the new one is whole. Nothing
// when it worked; the system's reason when it did not.
[[nodiscard]] std::optional<QString> saveWhole(const QString& path, const QByteArray& bytes);

}  // namespace velhorn::widgets

#pragma once

#include <QString>
#include <QTemporaryDir>

namespace velhorn::testing {

// A fresh XDG data folder for each test, so no test sees another's history.
class DataFolder {
public:
    DataFolder() { qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit()); }
    [[nodiscard]] QString history() const { return dir.path() + "/velhorn/history.csv"; }
    QTemporaryDir dir;
};

}  // namespace velhorn::testing

#pragma once

#include <QGroupBox>

namespace velhorn::calculator {

// A group frame whose caption sits on its top border, the way the layout tables place
// children: from the frame's own corner, caption strip included.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velhorn::calculator

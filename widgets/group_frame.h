#pragma once

#include <QGroupBox>

namespace velhorn::widgets {

// The frame control: a group box whose caption sits on its top border, the way the layout
// tables place children: from the frame's own corner, caption strip included.
class GroupFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velhorn::widgets

#pragma once

#include <QWidget>

class QLabel;

namespace velhorn::about {

// A small information window about the program: six lines on light yellow, nothing to click.
class Form_About : public QWidget {
    Q_OBJECT
public:
    explicit Form_About(QWidget* parent = nullptr);

    QLabel* Label2;  // what the program is for
    QLabel* Label3;  // its name
    QLabel* Label7;  // credit
    QLabel* Label8;  // date
    QLabel* Label4;  // request for comments
    QLabel* Label5;  // contact address
};

}  // namespace velhorn::about

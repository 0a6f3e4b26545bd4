#pragma once

#include "widgets/twips.h"

#include <QString>

class QColor;
class QLineEdit;
class QWidget;

// The window's single-line text boxes: how they are made, coloured and written.
namespace velhorn::widgets {

// A box at its place in `container`, named for the quantity it holds. Its frame and margins are
// the compact ones the layout was drawn for, whatever style the desktop sets.
QLineEdit* makeTextBox(QWidget* container, const TwipRect& where, const QString& quantity);

// Paints the box in `colour` and its text in black or white to match, never in the theme's text
// colour, which on a dark desktop is as light as the white box.
void setBackColor(QLineEdit* box, const QColor& colour);

// Writes a result so that its start shows: a number wider than its box must not read as the
// number its last digits make.
void writeText(QLineEdit* box, const QString& text);

}  // namespace velhorn::widgets

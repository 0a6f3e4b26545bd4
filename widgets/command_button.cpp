#include "widgets/command_button.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

namespace velhorn::widgets {

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::setCaption(const QString& caption)
{
    caption_ = caption;
    setAccessibleName(caption);
    wrapCaption();
}

void CommandButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    wrapCaption();
}

void CommandButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        wrapCaption();
}

void CommandButton::wrapCaption()
{
    const int margin = 2 * style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this);
    const int available = std::max(1, width() - margin);
    const QFontMetrics metrics(font());
    QString wrapped;
    QString line;
    for (const QString& word : caption_.split(u' ', Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > available) {
            wrapped += line + u'\n';
            line = word;
        } else {
            line = candidate;
        }
    }
    wrapped += line;
    setText(wrapped);
}

}  // namespace velhorn::widgets

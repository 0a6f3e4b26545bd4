#include "widgets/group_frame.h"

#include <QPainter>

namespace velhorn::widgets {

void GroupFrame::paintEvent(QPaintEvent* /*event*/)
{
    constexpr int kCaptionIndent = 6;
    constexpr int kCaptionPadding = 2;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int borderTop = title().isEmpty() ? 0 : metrics.height() / 2;

    // An etched border: a shadow line with a highlight one pixel inside it.
    const QRect border = rect().adjusted(0, borderTop, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(border);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.translated(1, 1));

    if (!title().isEmpty()) {
        const QRect caption(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding,
                            metrics.height());
        painter.fillRect(caption, palette().window());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }
}

}  // namespace velhorn::widgets

#include "widgets/text_box.h"

#include "widgets/colours.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <limits>

namespace velhorn::widgets {

namespace {

// The desktop's own style, with the narrow frame and no extra padding that a 19-pixel box needs
// to show a whole result: some styles draw roomy frames that leave space for three characters.
class CompactBoxStyle : public QProxyStyle {
public:
    static constexpr int kFrameWidth = 2;

    explicit CompactBoxStyle(QStyle* desktopStyle) : QProxyStyle(desktopStyle) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_DefaultFrameWidth && qobject_cast<const QLineEdit*>(widget))
            return kFrameWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        if (element == SE_LineEditContents && qobject_cast<const QLineEdit*>(widget))
            return option->rect.adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        return QProxyStyle::subElementRect(element, option, widget);
    }

    void polish(QWidget* widget) override
    {
        QProxyStyle::polish(widget);
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            box->setTextMargins(0, 0, 0, 0);
    }
};

// One compact style for the application's current style, owned by the application so that it
// outlives every box that uses it.
QStyle* compactBoxStyle()
{
    static QPointer<QStyle> forStyle;
    static QPointer<QStyle> compact;
    QStyle* desktopStyle = QApplication::style();
    if (!compact || forStyle != desktopStyle) {
        QStyle* base = QStyleFactory::create(desktopStyle->name());
        compact = new CompactBoxStyle(base);  // takes ownership of base; null means the default
        compact->setParent(qApp);
        forStyle = desktopStyle;
    }
    return compact;
}

}  // namespace

QLineEdit* makeTextBox(QWidget* container, const TwipRect& where, const QString& quantity)
{
    auto* box = new QLineEdit(container);
    box->setStyle(compactBoxStyle());
    box->setGeometry(toPixels(where));
    box->setAccessibleName(quantity);
    box->setMaxLength(std::numeric_limits<int>::max());  // whatever is pasted stays whole
    return box;
}

void setBackColor(QLineEdit* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Text, textColourOn(colour));
    box->setPalette(palette);
}

void writeText(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace velhorn::widgets

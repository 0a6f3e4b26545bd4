#include "about/form_about.h"

#include "widgets/colours.h"
#include "widgets/twips.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>

#include <array>

namespace velhorn::about {

namespace {

namespace layout = window::about;

QLabel* makeLabel(QWidget* parent, const layout::Line& line)
{
    auto* label = new QLabel(QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size())), parent);
    label->setGeometry(widgets::toPixels(line.where));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    QFont font;
    font.setFamilies({QString::fromUtf8(layout::kFont.data()), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(line.pointSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(widgets::fromLowRedValue(line.colour)));
    label->setPalette(palette);
    return label;
}

}  // namespace

Form_About::Form_About(QWidget* parent)
    // A fixed little window: it can be minimised and closed, but there is nothing to maximise.
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QString::fromUtf8(layout::kTitle.data()));
    setFixedSize(widgets::toPixels(layout::kClientArea));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, widgets::kLightYellow);
    setPalette(palette);

    const std::array labels{&Label2, &Label3, &Label7, &Label8, &Label4, &Label5};
    static_assert(labels.size() == layout::kLines.size());
    for (std::size_t i = 0; i < layout::kLines.size(); ++i)
        *labels[i] = makeLabel(this, layout::kLines[i]);
}

}  // namespace velhorn::about

#include "about/form_about.h"

#include "widgets/colours.h"
#include "widgets/twips.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QString>

namespace velhorn::about {

namespace {

using widgets::TwipRect;

constexpr widgets::TwipSize kClientArea{3600, 1770};
constexpr double kTitlePointSize = 9.75;
constexpr double kTextPointSize = 8.25;

struct LabelLine {
    const char* text;
    TwipRect where;
    double pointSize;
    QColor colour;
};

QLabel* makeLabel(QWidget* parent, const LabelLine& line)
{
    auto* label = new QLabel(QString::fromUtf8(line.text), parent);
    label->setGeometry(line.where.toPixels());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(line.pointSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, line.colour);
    label->setPalette(palette);
    return label;
}

}  // namespace

Form_About::Form_About(QWidget* parent)
    // A fixed little window: it can be minimised and closed, but there is nothing to maximise.
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientArea.toPixels());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, widgets::kLightYellow);
    setPalette(palette);

    Label2 = makeLabel(this, {"Program for calculating", {480, 120, 2415, 255}, kTitlePointSize, widgets::kGreen});
    Label3 = makeLabel(this, {"Velhorn", {840, 360, 1815, 255}, kTitlePointSize, widgets::kGreen});
    Label7 = makeLabel(this, {"by the Velhorn developers", {480, 600, 2775, 255}, kTextPointSize, Qt::black});
    Label8 = makeLabel(this, {"March 2006", {1200, 840, 1095, 255}, kTextPointSize, Qt::black});
    Label4 = makeLabel(this, {"For comments and questions e-mail to", {120, 1080, 3375, 255}, kTextPointSize, Qt::black});
    Label5 = makeLabel(this, {"velhorn@example.org", {840, 1320, 1935, 255}, kTextPointSize, widgets::kBlue});
}

}  // namespace velhorn::about

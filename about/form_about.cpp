#include "about/form_about.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QString>

namespace velhorn::about {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

constexpr QSize kClientArea{3600 / kTwipsPerPixel, 1770 / kTwipsPerPixel};
const QColor kLightYellow(255, 255, 192);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
constexpr double kTitlePointSize = 9.75;
constexpr double kTextPointSize = 8.25;

struct LabelLine {
    const char* text;
    QRect geometry;
    double pointSize;
    QColor colour;
};

QLabel* makeLabel(QWidget* parent, const LabelLine& line)
{
    auto* label = new QLabel(QString::fromUtf8(line.text), parent);
    label->setGeometry(line.geometry);
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
    setFixedSize(kClientArea);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kLightYellow);
    setPalette(palette);

    Label2 = makeLabel(this, {"Program for calculating", fromTwips(480, 120, 2415, 255), kTitlePointSize, kGreen});
    Label3 = makeLabel(this, {"Velhorn", fromTwips(840, 360, 1815, 255), kTitlePointSize, kGreen});
    Label7 = makeLabel(this, {"by the Velhorn developers", fromTwips(480, 600, 2775, 255), kTextPointSize, Qt::black});
    Label8 = makeLabel(this, {"March 2006", fromTwips(1200, 840, 1095, 255), kTextPointSize, Qt::black});
    Label4 = makeLabel(this, {"For comments and questions e-mail to", fromTwips(120, 1080, 3375, 255), kTextPointSize, Qt::black});
    Label5 = makeLabel(this, {"velhorn@example.org", fromTwips(840, 1320, 1935, 255), kTextPointSize, kBlue});
}

}  // namespace velhorn::about

#include "calculator/form1.h"

#include "about/form_about.h"
#include "history/history.h"
#include "history/history_window.h"
#include "window/layout.h"
#include "widgets/colours.h"
#include "widgets/command_button.h"
#include "widgets/group_frame.h"
#include "widgets/picture_box.h"
#include "widgets/text_box.h"

#include <QAction>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>

#include <algorithm>

namespace velhorn::calculator {

using widgets::CommandButton;
using widgets::GroupFrame;
using widgets::makeTextBox;
using widgets::PictureBox;

namespace {

// The dialog font the layout was drawn for, or the closest sans-serif this system has. Captions
// and boxes are sized for Arial's metrics (Liberation Sans shares them); a wider fallback such as
// DejaVu Sans is made smaller until its digits are no wider, so captions keep their lines and
// boxes show as many digits.
QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    constexpr double kPointSize = window::form1::kPointSize;
    constexpr double kDesignedDigitAdvance = 1139.0 / 2048.0;  // of the em, in Arial
    constexpr int kProbePixels = 2048;                         // large enough to be unhinted
    QFont probe = font;
    probe.setPixelSize(kProbePixels);
    const double digitAdvance = QFontMetricsF(probe).horizontalAdvance(u'0') / kProbePixels;
    font.setPointSizeF(digitAdvance > kDesignedDigitAdvance ? kPointSize * kDesignedDigitAdvance / digitAdvance
                                                            : kPointSize);
    return font;
}

namespace form = window::form1;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

template <typename Widget>
Widget* place(Widget* widget, const form::Control& control)
{
    widget->setGeometry(widgets::toPixels(control.where));
    return widget;
}

QRadioButton* option(QWidget* container, const form::Control& control)
{
    return place(new QRadioButton(text(control.caption), container), control);
}

QLineEdit* textBox(QWidget* container, const form::Control& control)
{
    return makeTextBox(container, control.where, text(control.accessibleName));
}

QLabel* label(QWidget* container, const form::Control& control)
{
    auto* text = place(new QLabel(velhorn::calculator::text(control.caption), container), control);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);  // a caption wider than its label goes on to a second line
    return text;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent),
      Mn_About(menuBar()->addAction(text(form::kMenuAbout))),
      client(new QWidget(this)),
      Picture1(place(new PictureBox(client), form::kPicture1)),
      Frame4(place(new GroupFrame(text(form::kFrame4.caption), client), form::kFrame4)),
      Option_M1(option(Frame4, form::kOption_M1)),
      Text_M1(textBox(Frame4, form::kText_M1)),
      Option_Teta(option(Frame4, form::kOption_Teta)),
      Text_Teta(textBox(Frame4, form::kText_Teta)),
      Option_M2(option(Frame4, form::kOption_M2)),
      Text_M2(textBox(Frame4, form::kText_M2)),
      Command1(place(new CommandButton(client), form::kCommand1)),
      Frame2(place(new GroupFrame(client), form::kFrame2)),
      Label6(label(Frame2, form::kLabel6)),
      Text_Nu1(textBox(Frame2, form::kText_Nu1)),
      Label7(label(Frame2, form::kLabel7)),
      Text_Nu2(textBox(Frame2, form::kText_Nu2)),
      Label4(label(Frame2, form::kLabel4)),
      Text_p2p1(textBox(Frame2, form::kText_p2p1)),
      Label5(label(Frame2, form::kLabel5)),
      Text_T2T1(textBox(Frame2, form::kText_T2T1))
{
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setFont(dialogFont());
    setCentralWidget(client);
    // No layout: the controls keep their places however the window is resized.
    resize(widgets::toPixels(form::kClientArea) + QSize(0, menuBar()->sizeHint().height()));
    Picture1->setBackColor(widgets::kLightYellow);
    Picture1->setAccessibleName(text(form::kPicture1.accessibleName));
    Picture1->setAccessibleDescription(text(window::kNothingDrawn));
    Command1->setCaption(text(form::kCommand1.caption));
    // The boxes in the order a press reports them.
    for (size_t i = 0; i < form::kBoxes.size(); ++i)
        for (const auto& [control, widget] : controls())
            if (control->name == form::kBoxes[i].name)
                boxes_[i] = static_cast<QLineEdit*>(widget);
    orderKeyboardFocus();
    connectHandlers();
    makeContextMenu();
    messageBox_ = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok, this);
        box.exec();
    };
    Form_Load();
}

Form1::~Form1() = default;

std::vector<std::pair<const form::Control*, QWidget*>> Form1::controls() const
{
    return {{&form::kPicture1, Picture1}, {&form::kFrame4, Frame4},       {&form::kOption_M1, Option_M1},
            {&form::kText_M1, Text_M1},   {&form::kOption_Teta, Option_Teta}, {&form::kText_Teta, Text_Teta},
            {&form::kOption_M2, Option_M2}, {&form::kText_M2, Text_M2},   {&form::kCommand1, Command1},
            {&form::kFrame2, Frame2},     {&form::kLabel6, Label6},       {&form::kText_Nu1, Text_Nu1},
            {&form::kLabel7, Label7},     {&form::kText_Nu2, Text_Nu2},   {&form::kLabel4, Label4},
            {&form::kText_p2p1, Text_p2p1}, {&form::kLabel5, Label5},     {&form::kText_T2T1, Text_T2T1}};
}

void Form1::orderKeyboardFocus()
{
    // Keyboard order through the controls that take focus, by their places in the table.
    auto order = controls();
    std::erase_if(order, [](const auto& c) { return c.first->kind == form::Kind::Frame || c.first->kind == form::Kind::Label; });
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first->tabIndex < b.first->tabIndex; });
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
    Picture1->setFocus();
}

void Form1::connectHandlers()
{
    // toggled rather than clicked: a choice made with the arrow keys runs the handler too.
    const auto onSelect = [this](QRadioButton* option, void (Form1::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool selected) {
            if (selected)
                (this->*handler)();
        });
    };
    onSelect(Option_M1, &Form1::Option_M1_Click);
    onSelect(Option_Teta, &Form1::Option_Teta_Click);
    onSelect(Option_M2, &Form1::Option_M2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Picture1, &PictureBox::clicked, this, &Form1::Picture1_Click);
    connect(Mn_About, &QAction::triggered, this, &Form1::Mn_About_Click);
}

void Form1::Form_Load()
{
    fan_.emplace();
}

void Form1::Mn_About_Click()
{
    if (!aboutWindow_)
        aboutWindow_ = std::make_unique<about::Form_About>();
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

void Form1::MsgBox(const QString& text)
{
    messageBox_(text);
}

}  // namespace velhorn::calculator

#include "widgets/picture_box.h"

#include "window/chart.h"
#include "widgets/twips.h"

#include <QMouseEvent>
#include <QPainter>


namespace velhorn::widgets {

UserPoint UserPoint::fromDouble(double x, double y)
{
    return {window::chart::single(x), window::chart::single(y)};
}

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    allocateImage();
}

void PictureBox::setBackColor(const QColor& colour)
{
    finishDrawing();
    backColor_ = colour;
    image_.fill(backColor_);
    update();
}

void PictureBox::fitImageToBox()
{
    // A hidden box gets its resize event only when first shown, so drawing done before then
    // checks the size itself.
    const QSize wanted = contentsRect().size() * devicePixelRatioF();
    if (image_.size() != wanted || image_.devicePixelRatio() != devicePixelRatioF())
        allocateImage();
}

void PictureBox::allocateImage()
{
    finishDrawing();
    const qreal ratio = devicePixelRatioF();
    QImage fresh(contentsRect().size() * ratio, QImage::Format_RGB32);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(backColor_);
    if (!image_.isNull()) {
        QPainter painter(&fresh);
        painter.drawImage(0, 0, image_);
    }
    image_ = fresh;
    if (!scaled_) {
        left_ = top_ = 0;
        right_ = contentsRect().width() * kTwipsPerPixel;
        bottom_ = contentsRect().height() * kTwipsPerPixel;
    }
}

window::chart::Surface PictureBox::surface(qreal ratio) const
{
    const QSizeF area = image_.deviceIndependentSize();
    return {left_, top_, right_, bottom_, area.width(), area.height(), ratio};
}

QPointF PictureBox::toPixel(double x, double y) const
{
    const auto p = window::chart::toLogical(surface(1), x, y);
    return {p.x, p.y};
}

void PictureBox::Scale(UserPoint upperLeft, UserPoint lowerRight)
{
    fitImageToBox();
    left_ = upperLeft.x;
    top_ = upperLeft.y;
    right_ = lowerRight.x;
    bottom_ = lowerRight.y;
    scaled_ = true;
}

void PictureBox::Cls()
{
    fitImageToBox();
    finishDrawing();
    image_.fill(backColor_);
    strokes_.clear();
    update();
}

void PictureBox::Line(UserPoint from, UserPoint to, std::optional<QColor> colour)
{
    fitImageToBox();
    const QColor c = colour.value_or(foreColor_);
    strokes_.push_back({Stroke::Kind::Segment, from, to, c});
    drawSegment(from, to, c);
    current_ = to;
}

void PictureBox::LineTo(UserPoint to, std::optional<QColor> colour)
{
    Line(current_, to, colour);
}

void PictureBox::PSet(UserPoint at, std::optional<QColor> colour)
{
    fitImageToBox();
    const QColor c = colour.value_or(foreColor_);
    strokes_.push_back({Stroke::Kind::Point, at, at, c});
    current_ = at;
    drawStroke(imagePainter(), strokes_.back(), image_.devicePixelRatio());
    update();
}

void PictureBox::drawSegment(UserPoint from, UserPoint to, const QColor& colour)
{
    drawStroke(imagePainter(), {Stroke::Kind::Segment, from, to, colour}, image_.devicePixelRatio());
    update();
}

void PictureBox::replay(QPainter& painter) const
{
    for (const Stroke& stroke : strokes_)
        drawStroke(painter, stroke, 1);
}

void PictureBox::drawStroke(QPainter& painter, const Stroke& stroke, qreal ratio) const
{
    using Kind = window::chart::Stroke::Kind;
    const window::chart::Stroke chartStroke{stroke.kind == Stroke::Kind::Point ? Kind::Point : Kind::Segment,
                                            {stroke.from.x, stroke.from.y}, {stroke.to.x, stroke.to.y}, {}};
    const auto placed = window::chart::place(surface(ratio), chartStroke);
    if (!placed)
        return;
    painter.setPen(QPen(stroke.colour, window::chart::penWidth(ratio)));
    const QPointF from((*placed)[0].x, (*placed)[0].y);
    if (stroke.kind == Stroke::Kind::Point)
        painter.drawPoint(from);
    else
        painter.drawLine(from, QPointF((*placed)[1].x, (*placed)[1].y));
}

QPainter& PictureBox::imagePainter()
{
    // One painter serves a whole run of drawing calls; opening one per call would cost more
    // than the drawing itself.
    if (!painter_.isActive()) {
        painter_.begin(&image_);
        // Drawing takes device pixels; the image's own ratio would scale them again.
        painter_.setWorldTransform(QTransform::fromScale(1 / image_.devicePixelRatio(), 1 / image_.devicePixelRatio()));
    }
    return painter_;
}

void PictureBox::finishDrawing() const
{
    if (painter_.isActive())
        painter_.end();
}

const QImage& PictureBox::image() const
{
    finishDrawing();
    return image_;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    finishDrawing();
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), image_);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitImageToBox();
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

}  // namespace velhorn::widgets

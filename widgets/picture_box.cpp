#include "widgets/picture_box.h"

#include "press/chart.h"
#include "widgets/twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace velhorn::widgets {

namespace {

float toSingle(double value)
{
    // A plain cast is undefined outside float's range; saturate to infinity instead.
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

UserPoint UserPoint::fromDouble(double x, double y)
{
    return {toSingle(x), toSingle(y)};
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

QPointF PictureBox::toPixel(double x, double y) const
{
    const QSizeF area = image_.deviceIndependentSize();
    return {(x - left_) / (right_ - left_) * area.width(),
            (y - top_) / (bottom_ - top_) * area.height()};
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
    const QSizeF area = image_.deviceIndependentSize();
    const int width = penWidth(ratio);
    if (stroke.kind == Stroke::Kind::Point) {
        if (!std::isfinite(stroke.from.x) || !std::isfinite(stroke.from.y))
            return;
        const QPointF p = toPixel(stroke.from.x, stroke.from.y);
        if (!QRectF(QPointF(0, 0), area).contains(p))
            return;
        painter.setPen(QPen(stroke.colour, width));
        painter.drawPoint(toDevicePixel(p, ratio));
        return;
    }
    // Clip in user space to the visible area plus a pixel's margin, so the mapped ends are
    // always small numbers the painter handles exactly.
    const double marginX = std::fabs(right_ - left_) / std::max(1.0, area.width());
    const double marginY = std::fabs(bottom_ - top_) / std::max(1.0, area.height());
    double x0 = stroke.from.x, y0 = stroke.from.y, x1 = stroke.to.x, y1 = stroke.to.y;
    if (!press::chart::clipSegment(x0, y0, x1, y1, std::min(left_, right_) - marginX,
                     std::max(left_, right_) + marginX, std::min(top_, bottom_) - marginY,
                     std::max(top_, bottom_) + marginY))
        return;
    painter.setPen(QPen(stroke.colour, width));
    painter.drawLine(toDevicePixel(toPixel(x0, y0), ratio), toDevicePixel(toPixel(x1, y1), ratio));
}

// Strokes are a whole number of device pixels wide and centred so that they cover whole pixels:
// at a fractional scale a one-logical-pixel pen falls on one or two device pixels by chance.
int PictureBox::penWidth(qreal ratio)
{
    return std::max(1, qRound(ratio));
}

QPointF PictureBox::toDevicePixel(QPointF logical, qreal ratio)
{
    const double half = penWidth(ratio) / 2.0;
    const QPointF device = logical * ratio;
    return {std::round(device.x() - half) + half, std::round(device.y() - half) + half};
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

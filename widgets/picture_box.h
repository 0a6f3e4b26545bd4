#pragma once

#include "press/press.h"
#include "window/pixels.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPainter>

#include <optional>
#include <vector>

namespace velhorn::widgets {

// A point in the box's user coordinates. Drawing takes single precision; doubles beyond its
// range become infinities here, and the box clips them like any other far-away point.
struct UserPoint {
    float x = 0;
    float y = 0;
    static UserPoint fromDouble(double x, double y);
    friend bool operator==(const UserPoint&, const UserPoint&) = default;
};

// A point the core gives in chart coordinates, as drawing takes it.
[[nodiscard]] inline UserPoint onChart(press::ChartPoint p)
{
    return UserPoint::fromDouble(p.x, p.y);
}

// The chart's drawing surface: a sunken box that draws into a retained image in user
// coordinates set by Scale, keeps a current point, and repaints from the image, so covering or
// minimising the window loses nothing.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    // What was drawn since the last Cls, in drawing order.
    struct Stroke {
        enum class Kind { Point, Segment } kind;
        UserPoint from;
        UserPoint to;
        QColor colour;
    };

    explicit PictureBox(QWidget* parent = nullptr);

    void setBackColor(const QColor& colour);
    [[nodiscard]] QColor backColor() const { return backColor_; }
    [[nodiscard]] QColor foreColor() const { return foreColor_; }

    // Sets the user coordinates of the upper-left and lower-right corners of the drawing area.
    void Scale(UserPoint upperLeft, UserPoint lowerRight);
    // Clears the drawing area to the background colour.
    void Cls();
    // Segment from `from` to `to`; the current point becomes `to`. Without a colour the
    // foreground colour is used.
    void Line(UserPoint from, UserPoint to, std::optional<QColor> colour = std::nullopt);
    // Segment from the current point to `to`.
    void LineTo(UserPoint to, std::optional<QColor> colour = std::nullopt);
    // A single point; the current point becomes `at`.
    void PSet(UserPoint at, std::optional<QColor> colour = std::nullopt);

    [[nodiscard]] UserPoint currentPoint() const { return current_; }
    [[nodiscard]] const std::vector<Stroke>& strokesSinceClear() const { return strokes_; }
    // The drawing area as it stands, one logical pixel a pixel at a device pixel ratio of 1.
    [[nodiscard]] const QImage& image() const;
    // Where a user point lands in the drawing area, in logical pixels.
    [[nodiscard]] QPointF toPixel(double x, double y) const;
    // Draws the strokes since the last Cls onto another surface of the drawing area's logical
    // size, as they stand on screen at a device pixel ratio of 1: clipped, on whole pixels.
    void replay(QPainter& painter) const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawSegment(UserPoint from, UserPoint to, const QColor& colour);
    void drawStroke(QPainter& painter, const Stroke& stroke, qreal ratio) const;
    [[nodiscard]] window::chart::Surface surface(qreal ratio) const;
    QPainter& imagePainter();
    void finishDrawing() const;
    void fitImageToBox();
    void allocateImage();

    QColor backColor_ = Qt::white;
    QColor foreColor_ = Qt::black;
    QImage image_;
    mutable QPainter painter_;  // open on image_ between drawing calls, closed before it is read
    // User coordinates of the drawing area's corners; twips until Scale is first called.
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    bool scaled_ = false;
    UserPoint current_;
    std::vector<Stroke> strokes_;
    bool pressed_ = false;
};

}  // namespace velhorn::widgets

#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <memory>

class QPainter;
class QPainterPath;

namespace ui {

// What drawRect() draws with: a current path, a stroke colour and width.
class GraphicsContext {
public:
    explicit GraphicsContext(QPainter& painter);
    ~GraphicsContext();

    void setStrokeColor(Color color) { m_strokeColor = color; }
    void setFillColor(Color color) { m_fillColor = color; }
    void setLineWidth(double width) { m_lineWidth = width; }

    // Angles in radians from the positive x axis; y points down, so a
    // growing angle turns clockwise on screen. clockwise = 1 draws the
    // arc the other way round.
    void addArc(Point center, double radius, double startAngle, double endAngle, int clockwise);
    void addLine(Point from, Point to);
    void strokePath();
    void fillRect(Rect rect);

private:
    QPainter& m_painter;
    std::unique_ptr<QPainterPath> m_path;
    Color m_strokeColor = Color::black();
    Color m_fillColor = Color::black();
    double m_lineWidth = 1.0;
};

} // namespace ui

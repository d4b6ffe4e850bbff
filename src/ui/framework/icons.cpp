#include "ui/framework/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace tarvo::icons {

namespace {

using Drawing = std::function<void(QPainter&)>;

// Paints a drawing made on a 16 x 16 grid, scaled to the requested size.
class VectorIconEngine final : public QIconEngine {
public:
    explicit VectorIconEngine(Drawing drawing) : m_drawing(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        m_drawing(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pm(size * scale);
        pm.fill(Qt::transparent);
        {
            QPainter painter(&pm);
            paint(&painter, QRect(QPoint(0, 0), size * scale), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QIconEngine* clone() const override { return new VectorIconEngine(m_drawing); }

private:
    Drawing m_drawing;
};

QIcon Make(Drawing drawing) {
    return QIcon(new VectorIconEngine(std::move(drawing)));
}

QPen Pen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

const QColor Green(34, 139, 34);
const QColor Red(200, 40, 40);
const QColor Blue(30, 90, 180);
const QColor Brown(150, 100, 45);
const QColor Ink(60, 60, 60);
const QColor Teal(0, 131, 125);

// A cardboard box: the program's picture of a cover.
void Box(QPainter& p, const QRectF& r, const QColor& colour) {
    p.setPen(Pen(colour.darker(150), 1.0));
    p.setBrush(colour);
    p.drawRect(r);
    p.drawLine(QPointF(r.left(), r.top() + r.height() * 0.35),
               QPointF(r.right(), r.top() + r.height() * 0.35));
    p.drawLine(QPointF(r.center().x(), r.top()),
               QPointF(r.center().x(), r.top() + r.height() * 0.35));
}

} // namespace

QIcon Add() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Green.darker(130), 1.0));
        p.setBrush(Green);
        QPainterPath plus;
        plus.addRect(6.5, 2.5, 3, 11);
        plus.addRect(2.5, 6.5, 11, 3);
        plus.setFillRule(Qt::WindingFill);
        p.drawPath(plus.simplified());
    });
}

QIcon Edit() {
    return Make([](QPainter& p) {
        // A pencil writing on a line.
        p.setPen(Pen(Ink, 1.0));
        p.setBrush(QColor(240, 190, 60));
        QPolygonF pencil;
        pencil << QPointF(3, 11) << QPointF(11, 3) << QPointF(13, 5) << QPointF(5, 13);
        p.drawPolygon(pencil);
        p.setBrush(Ink);
        QPolygonF tip;
        tip << QPointF(3, 11) << QPointF(5, 13) << QPointF(2, 14);
        p.drawPolygon(tip);
        p.setPen(Pen(Blue, 1.2));
        p.drawLine(QPointF(8, 14.5), QPointF(14.5, 14.5));
    });
}

QIcon Delete() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Red, 2.6));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QIcon Filter() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Blue.darker(130), 1.0));
        p.setBrush(Blue);
        QPolygonF funnel;
        funnel << QPointF(1.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 8.5) << QPointF(9.5, 13.5)
               << QPointF(6.5, 14.5) << QPointF(6.5, 8.5);
        p.drawPolygon(funnel);
    });
}

QIcon Toggle() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Ink, 1.0));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setBrush(Teal);
        p.drawRect(QRectF(1.5, 2.5, 6, 11));
    });
}

QIcon Covers() {
    return Make([](QPainter& p) { Box(p, QRectF(2.5, 4.5, 11, 9), QColor(205, 160, 95)); });
}

QIcon CompCovers() {
    return Make([](QPainter& p) {
        Box(p, QRectF(1.5, 7.5, 7, 7), QColor(205, 160, 95));
        Box(p, QRectF(7.5, 7.5, 7, 7), QColor(205, 160, 95));
        Box(p, QRectF(4.5, 1.5, 7, 6), QColor(225, 185, 120));
    });
}

QIcon Products() {
    return Make([](QPainter& p) {
        // A bottle: the product that the covers wrap.
        p.setPen(Pen(Green.darker(160), 1.0));
        p.setBrush(QColor(90, 170, 90));
        QPainterPath bottle;
        bottle.moveTo(6.5, 1.5);
        bottle.lineTo(9.5, 1.5);
        bottle.lineTo(9.5, 5);
        bottle.quadTo(12.5, 6, 12.5, 9);
        bottle.lineTo(12.5, 14.5);
        bottle.lineTo(3.5, 14.5);
        bottle.lineTo(3.5, 9);
        bottle.quadTo(3.5, 6, 6.5, 5);
        bottle.closeSubpath();
        p.drawPath(bottle);
    });
}

QIcon Dispatches() {
    return Make([](QPainter& p) {
        // A delivery van.
        p.setPen(Pen(Ink, 1.0));
        p.setBrush(QColor(70, 120, 200));
        p.drawRect(QRectF(1.5, 4.5, 8, 7));
        p.setBrush(QColor(120, 170, 230));
        QPolygonF cab;
        cab << QPointF(9.5, 6.5) << QPointF(12.5, 6.5) << QPointF(14.5, 9) << QPointF(14.5, 11.5)
            << QPointF(9.5, 11.5);
        p.drawPolygon(cab);
        p.setBrush(Ink);
        p.drawEllipse(QPointF(4.5, 12.5), 1.6, 1.6);
        p.drawEllipse(QPointF(11.5, 12.5), 1.6, 1.6);
    });
}

QIcon ImportMoney() {
    return Make([](QPainter& p) {
        p.setPen(Pen(QColor(170, 130, 0), 1.0));
        p.setBrush(QColor(245, 200, 40));
        p.drawEllipse(QPointF(5.5, 10.5), 4, 4);
        p.setPen(Pen(Green.darker(120), 2.0));
        p.drawLine(QPointF(11.5, 1.5), QPointF(11.5, 9.5));
        p.drawLine(QPointF(8.5, 6.5), QPointF(11.5, 9.5));
        p.drawLine(QPointF(14.5, 6.5), QPointF(11.5, 9.5));
    });
}

QIcon ImportWak() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Ink, 1.0));
        p.setBrush(QColor(180, 180, 200));
        p.drawEllipse(QRectF(1.5, 1.5, 8, 3));
        p.drawRect(QRectF(1.5, 3, 8, 9));
        p.drawEllipse(QRectF(1.5, 10.5, 8, 3));
        p.setPen(Pen(Green.darker(120), 2.0));
        p.drawLine(QPointF(12.5, 3.5), QPointF(12.5, 11.5));
        p.drawLine(QPointF(10, 9), QPointF(12.5, 11.5));
        p.drawLine(QPointF(15, 9), QPointF(12.5, 11.5));
    });
}

QIcon Report() {
    return Make([](QPainter& p) {
        p.setPen(Pen(Ink, 1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setBrush(Green);
        p.drawRect(QRectF(4.5, 9.5, 2, 3));
        p.drawRect(QRectF(7.5, 6.5, 2, 6));
        p.drawRect(QRectF(10.5, 4.5, 2, 8));
    });
}

QIcon Application() {
    return Make([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Teal);
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        Box(p, QRectF(3.5, 5, 9, 8), QColor(225, 185, 120));
    });
}

} // namespace tarvo::icons

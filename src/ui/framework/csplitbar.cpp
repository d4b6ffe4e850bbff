#include "ui/framework/csplitbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>

namespace tarvo {

CSplitBar::CSplitBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
    setFixedWidth(Width);
}

void CSplitBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(r);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(r.adjusted(1, 1, -1, -1));
}

void CSplitBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    grabMouse();
    m_pressX = qRound(event->scenePosition().x());
    m_startLeft = x();
    if (!m_tracker)
        m_tracker = new QRubberBand(QRubberBand::Line, parentWidget());
    m_tracker->setGeometry(geometry());
    m_tracker->show();
}

void CSplitBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracker || !m_tracker->isVisible())
        return;
    // The bar stays within the view horizontally.
    const int dx = qRound(event->scenePosition().x()) - m_pressX;
    const int left = std::clamp(m_startLeft + dx, 0, parentWidget()->width() - Width);
    m_tracker->move(left, y());
}

void CSplitBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_tracker || !m_tracker->isVisible())
        return;
    releaseMouse();
    m_tracker->hide();
    move(m_tracker->x(), y());
    emit relayoutRequested();
}

} // namespace tarvo

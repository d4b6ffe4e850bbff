#include "ui/framework/ccaptionpanel.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace tarvo {

CCaptionPanel::CCaptionPanel(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text) {}

void CCaptionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor teal(0, 131, 125);
    painter.fillRect(rect(), teal);
    // Etched edge: a dark line inside a light one.
    painter.setPen(teal.darker(160));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(teal.lighter(150));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine,
                     QStringLiteral("  %1  ").arg(m_text.trimmed()));
}

} // namespace tarvo

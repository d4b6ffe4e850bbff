#pragma once

#include <QWidget>
#include <functional>

class QRubberBand;

namespace tarvo {

// The bar between the left and right panes of a view. Dragging shows a
// tracking rectangle; on release the bar moves there and the view lays its
// panes out again.
class CSplitBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 5;

    explicit CSplitBar(QWidget* parent);

signals:
    // The bar has been moved by the user; the view must lay out again.
    void relayoutRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRubberBand* m_tracker = nullptr;
    int m_pressX = 0;
    int m_startLeft = 0;
};

} // namespace tarvo

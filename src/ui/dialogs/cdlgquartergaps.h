#pragma once

#include <QDialog>

class QTreeWidget;

namespace tarvo {

struct GuiContext;

// What the statement of a quarter would leave out, listed before it is
// built: the dispatched product lines without packaging on their date
// (product, dispatch, date) and the covers without a weight.
class CDlgQuarterGaps : public QDialog {
    Q_OBJECT
public:
    CDlgQuarterGaps(const GuiContext& context, int year, int quarter, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return m_tree; }

private:
    QTreeWidget* m_tree;
};

} // namespace tarvo

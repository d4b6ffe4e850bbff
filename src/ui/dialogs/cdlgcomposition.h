#pragma once

#include "core/records/classification.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace tarvo {

struct GuiContext;

// "Složení obalu": the shares of the components of a composite material, one
// row per component, with the running total. OK is refused until the shares
// the rules accept sum to exactly 100 %.
class CDlgComposition : public QDialog {
    Q_OBJECT
public:
    CDlgComposition(const GuiContext& context, int material, std::vector<CompositionPart> record,
                    QWidget* parent = nullptr);

    const std::vector<CompositionPart>& Record() const { return m_record; }

    void accept() override;

    QTableWidget* Grid() const { return m_grid; }
    QLabel* TotalLabel() const { return m_total; }

private:
    // The shares typed in the grid, in component order; nothing when a cell
    // holds no number (its row is then selected).
    std::optional<std::vector<CompositionPart>> Parts();
    void ShowTotal();

    const GuiContext& m_context;
    int m_material;
    std::vector<CompositionPart> m_record;
    QTableWidget* m_grid;
    QLabel* m_total;
};

} // namespace tarvo

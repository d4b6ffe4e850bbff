#pragma once

#include "core/registers/propagationswitches.h"

#include <QDialog>

class QCheckBox;

namespace tarvo {

struct GuiContext;

// "Možnosti ": the four change-propagation switches, edited in memory. On
// OK the caller takes Record() as the program-wide switches.
class CDlgOptions : public QDialog {
    Q_OBJECT
public:
    CDlgOptions(const GuiContext& context, PropagationSwitches switches, QWidget* parent = nullptr);

    const PropagationSwitches& Record() const { return m_switches; }

    void accept() override;

    QCheckBox* Box(int index) const { return m_boxes[index]; }

private:
    PropagationSwitches m_switches;
    QCheckBox* m_boxes[4];
};

} // namespace tarvo

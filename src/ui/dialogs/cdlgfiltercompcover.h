#pragma once

#include "core/registers/compcoverfilter.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Filtr složených obalů": edits a copy of the composite covers view's
// filter. Each text and its "část" box are open only while the criterion is
// ticked; OK takes the values over without a check.
class CDlgFilterCompCover : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFilterCompCover(const GuiContext& context, CompCoverFilter filter = {},
                                 QWidget* parent = nullptr);

    const CompCoverFilter& Record() const { return m_filter; }

    void accept() override;

    QCheckBox* UseNameBox() const { return m_useName; }
    QLineEdit* NameEdit() const { return m_name; }
    QCheckBox* NamePartBox() const { return m_namePart; }
    QCheckBox* UseNoteBox() const { return m_useNote; }
    QLineEdit* NoteEdit() const { return m_note; }
    QCheckBox* NotePartBox() const { return m_notePart; }

private:
    void LoadControls();
    void UpdateEnabling();

    CompCoverFilter m_filter;
    QCheckBox* m_useName;
    QLineEdit* m_name;
    QCheckBox* m_namePart;
    QCheckBox* m_useNote;
    QLineEdit* m_note;
    QCheckBox* m_notePart;
};

} // namespace tarvo

#pragma once

#include "core/records/coverline.h"
#include "core/registers/compcoverregister.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;

namespace tarvo {

class CIconButton;
class RecordList;
struct GuiContext;

// Edits one item of a composite cover in a window over parent: a new item
// (its cover picked first) when line is empty, else the given line. Returns
// the edited line, or nothing when the user cancelled. The composite covers
// view supplies the wizard; the dialog knows no page.
using CoverItemEditor =
    std::function<std::optional<CoverLine>(QWidget* parent, const std::optional<CoverLine>& line)>;

// "Detail složeného obalu": the name, the note and the items of one
// composite cover. The items are edited in the scratch table, which the
// dialog fills from the stored items of the composite cover id (none for a
// new one, NoRecord) when it opens; the caller stores them with Record(), the
// name and note, after OK (CompCoverRegister::Add or Update). Storno leaves
// the stored composite cover as it was. The items are added and changed
// through editItem.
//
// The dialog takes the Insert and Delete keys for itself wherever the focus
// is: they add and remove items, as the buttons beside the list do.
class CDlgCompCover : public QDialog {
    Q_OBJECT
public:
    CDlgCompCover(const GuiContext& context, CoverItemEditor editItem, RecordId id = NoRecord,
                  CompCoverRecord record = {}, QWidget* parent = nullptr);

    const CompCoverRecord& Record() const { return m_record; }

    // Copies the stored items into the scratch table, fills the controls and
    // runs the dialog; Rejected when the items could not be copied (shown).
    int exec() override;
    void accept() override;

    void AddItem();
    void EditItem();
    void DeleteItem();

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* NoteEdit() const { return m_note; }
    RecordList* ItemList() const { return m_items; }
    CIconButton* ItemButton(int index) const { return m_buttons[index]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillItems();
    void RunCommand(int command);
    // The selected item's row, or nothing after telling the user.
    int SelectedRow();
    void Warn(const char* text, QWidget* focus);

    const GuiContext& m_context;
    CoverItemEditor m_editItem;
    RecordId m_id;
    CompCoverRecord m_record;
    CompCoverRegister m_register;
    QLineEdit* m_name;
    QLineEdit* m_note;
    RecordList* m_items;
    CIconButton* m_buttons[3];
};

} // namespace tarvo

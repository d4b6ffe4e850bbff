#pragma once

#include "core/registers/prodfilter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Filtr produktů": edits a copy of the products view's filter.
class CDlgFilterProd : public QDialog {
    Q_OBJECT
public:
    explicit CDlgFilterProd(const GuiContext& context, ProdFilter filter = {},
                            QWidget* parent = nullptr);

    const ProdFilter& Record() const { return m_filter; }

    void accept() override;

    QCheckBox* UseNameBox() const { return m_useName; }
    QLineEdit* NameEdit() const { return m_name; }
    QCheckBox* NamePartBox() const { return m_namePart; }
    QCheckBox* UseKatalogBox() const { return m_useKatalog; }
    QLineEdit* KatalogEdit() const { return m_katalog; }
    QCheckBox* KatalogPartBox() const { return m_katalogPart; }
    QCheckBox* UseUnitBox() const { return m_useUnit; }
    QLineEdit* UnitEdit() const { return m_unit; }
    QComboBox* PackagingCombo() const { return m_packaging; }
    QCheckBox* WithDeletedBox() const { return m_withDeleted; }

private:
    void UpdateEnabling();

    const GuiContext& m_context;
    ProdFilter m_filter;
    QCheckBox* m_useName;
    QLineEdit* m_name;
    QCheckBox* m_namePart;
    QCheckBox* m_useKatalog;
    QLineEdit* m_katalog;
    QCheckBox* m_katalogPart;
    QCheckBox* m_useUnit;
    QLineEdit* m_unit;
    QComboBox* m_packaging;
    QCheckBox* m_withDeleted;
};

} // namespace tarvo

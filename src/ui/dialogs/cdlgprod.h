#pragma once

#include "core/registers/productregister.h"

#include <QDialog>

class QLineEdit;

namespace tarvo {

struct GuiContext;

// "Detail produktu": the name, catalogue number and unit of one product,
// edited in memory. After OK the record holds what the user entered, with
// the trailing blanks of the name and the catalogue number removed.
class CDlgProd : public QDialog {
    Q_OBJECT
public:
    explicit CDlgProd(const GuiContext& context, ProductRecord record = {},
                      QWidget* parent = nullptr);

    const ProductRecord& Record() const { return m_record; }

    void accept() override;

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* KatalogEdit() const { return m_katalog; }
    QLineEdit* UnitEdit() const { return m_unit; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const GuiContext& m_context;
    ProductRecord m_record;
    QLineEdit* m_name;
    QLineEdit* m_katalog;
    QLineEdit* m_unit;
};

} // namespace tarvo

#pragma once

#include "core/records/classification.h"
#include "core/records/covers.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

struct GuiContext;

// "Detail obalu": one cover record and its classification for the statement
// in force since 2021 (section "Výkaz od roku 2021"), edited in memory. The
// caller hands in both, runs the dialog and, on OK, hands Record() and
// Classification() to the register in one operation. A cover without a
// classification is shown the one its old material code suggests, marked
// "návrh".
class CDlgCover : public QDialog {
    Q_OBJECT
public:
    explicit CDlgCover(const GuiContext& context, CoverRecord record = {},
                       std::optional<CoverClassification> classification = {},
                       QWidget* parent = nullptr);

    const CoverRecord& Record() const { return m_record; }
    // What OK stores: nothing when the cover had no classification and the
    // section was left without any choice, so the bulk proposal still
    // counts the cover as unclassified.
    const std::optional<CoverClassification>& Classification() const { return m_classification; }

    void accept() override;

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* WeightEdit() const { return m_weight; }
    QLineEdit* NoteEdit() const { return m_note; }
    QComboBox* MaterialCombo() const { return m_material; }
    QComboBox* StatCombo() const { return m_stat; }
    QComboBox* TypeCombo() const { return m_type; }
    QComboBox* OriginCombo() const { return m_origin; }
    QComboBox* PaymentCombo() const { return m_payment; }
    QCheckBox* ReusableBox() const { return m_reusable; }
    QCheckBox* BeverageBox() const { return m_beverage; }
    QComboBox* Material2021Combo() const { return m_material2021; }
    QComboBox* ShapeCombo() const { return m_shape; }
    QLineEdit* RecycledEdit() const { return m_recycled; }
    QPushButton* CompositionButton() const { return m_compositionButton; }
    QComboBox* LitteringCombo() const { return m_littering; }
    QLineEdit* PlasticEdit() const { return m_plastic; }
    QLabel* ProposalLabel() const { return m_proposal; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeClassificationSection();
    void LoadControls();
    void LoadClassification(const CoverClassification& c);
    // Shows what the old material code suggests, marked as a proposal.
    void LoadProposal(int oldMaterial);
    // Enables the fields the chosen material and littering category ask for.
    void EnableClassification();
    // The user changed the section: it is no longer the proposal.
    void SectionEdited();
    void EditComposition();
    // The section's values, or nothing after telling what is wrong.
    std::optional<CoverClassification> SectionValues();
    // An empty field reads as nothing; a field that is no number is told.
    bool ReadShare(QLineEdit* edit, std::optional<Quantity>& value);
    void OnMaterialChosen();
    void OnStatChosen();
    void Warn(const char* text);

    const GuiContext& m_context;
    CoverRecord m_record;

    QLineEdit* m_name;
    QLineEdit* m_weight;
    QComboBox* m_stat;
    QCheckBox* m_reusable;
    QComboBox* m_material;
    QComboBox* m_origin;
    QComboBox* m_type;
    QComboBox* m_payment;
    QLineEdit* m_note;

    std::optional<CoverClassification> m_classification;
    // The composition edited through "Složení…", kept while the material
    // is changed back and forth.
    std::vector<CompositionPart> m_composition;
    bool m_proposed = false;
    QCheckBox* m_beverage;
    QComboBox* m_material2021;
    QComboBox* m_shape;
    QLineEdit* m_recycled;
    QPushButton* m_compositionButton;
    QComboBox* m_littering;
    QLineEdit* m_plastic;
    QLabel* m_proposal;
};

} // namespace tarvo

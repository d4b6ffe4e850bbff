// The composite covers view, its editor and its filter, driven through their
// lists, keys, buttons and dialogs: the rows in the database and the
// messages shown are what the tests look at.
#include "core/registers/compcoverregister.h"
#include "ui/dialogs/cdlgcompcover.h"
#include "ui/dialogs/cdlgfiltercompcover.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commandids.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/pages/cpagecover.h"
#include "ui/pages/pickerlist.h"
#include "ui/views/cviewcompcover.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWizard>

using namespace tarvo;
using namespace tarvo::test;

namespace {

class RecordingBroadcast final : public IViewBroadcast {
public:
    void NotifyAllViews(TableView*, ViewNotification) override {}
};

struct Fixture {
    UiDatabase db;
    RecordingNotifier notifier;
    std::vector<int> helpAsked;
    GuiContext context{db.Store(),  db.messages,
                       db.switches, DataFolder{db.Folder()},
                       notifier,    [this](int number) { helpAsked.push_back(number); }};
    CoverItemEditor itemWizard = CoverItemWizard(context);
    RecordingBroadcast broadcast;
    std::unique_ptr<CViewCompCover> view;
    CompCoverRegister compCovers{db.Store()};
    long long box = db.AddCover("Krabice", 4200, 0, 0, 1, 2);
    long long foil = db.AddCover("Fólie", 350, 8, 1, 2, 0);
    long long pallet = db.AddCover("Čtyřcestná paleta", 250000, 0, 0, 0, 0);

    // A stored composite cover with the given covers as items used always.
    RecordId Make(const std::string& name, const std::vector<long long>& covers) {
        compCovers.BeginEditing(NoRecord);
        for (long long cover : covers)
            compCovers.AddItem(
                {cover, Quantity::FromUnits(1), Quantity::FromUnits(1), true, {}, {}, 0, 0, 0});
        return *compCovers.Add({name, ""});
    }
    void Open() {
        view = std::make_unique<CViewCompCover>(context);
        view->SetBroadcast(&broadcast);
        view->resize(700, 400);
        view->InitialUpdate();
        view->show();
    }
    QStringList Names() const {
        QStringList names;
        ListModel* model = view->MainList()->Model();
        for (int row = 0; row < model->Count(); ++row)
            names << model->Cell(row, 0);
        return names;
    }
    QStringList ItemNames(CDlgCompCover* dialog) const {
        QStringList names;
        ListModel* model = dialog->ItemList()->Model();
        for (int row = 0; row < model->Count(); ++row)
            names << model->Cell(row, 0);
        return names;
    }
    long long StoredItems(RecordId id) {
        return db.Number("SELECT COUNT(*) FROM CompCover_Item WHERE ccover_id = " +
                         std::to_string(id));
    }
};

// Picks the cover of the row in the wizard's cover list and finishes the
// packaging line page with its defaults.
void FinishItemWizard(QWidget* modal, int coverRow) {
    auto* wizard = qobject_cast<QWizard*>(modal);
    auto* coverPage = wizard ? qobject_cast<CPageCover*>(wizard->currentPage()) : nullptr;
    if (!coverPage) {
        modal->close();
        return;
    }
    coverPage->CoverList()->SelectRow(coverRow);
    wizard->next();
    // The cover's own codes are the defaults of the item.
    wizard->button(QWizard::FinishButton)->click();
}

void PressOk(QDialog* dialog) {
    dialog->findChild<QDialogButtonBox*>()->buttons().front()->click();
}

} // namespace

class TestCompCover : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void editorChecks_data();
    void editorChecks();
    void itemKeysBelongToTheDialog_data();
    void itemKeysBelongToTheDialog();
    void itemMenuGreying_data();
    void itemMenuGreying();
    void stornoLeavesStoredItems();
    void helpButtonOpensContext13();
    void addKeepsThePreviousSelection();
    void editReplacesItems();
    void filter_data();
    void filter();
    void filterDialogEnabling_data();
    void filterDialogEnabling();
};

void TestCompCover::editorChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withItem");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty name") << "" << true << "Není zadáno jméno!"
                                << "name"
                                << "";
    QTest::newRow("blanks only") << "   " << true << "Není zadáno jméno!"
                                 << "name"
                                 << "";
    QTest::newRow("no item") << "Sada" << false << "Není vybrán žádný obal!"
                             << "items"
                             << "";
    QTest::newRow("both missing: the name first") << "" << false << "Není zadáno jméno!"
                                                  << "name"
                                                  << "";
    QTest::newRow("leading blanks go, trailing stay") << "  Sada " << true << ""
                                                      << ""
                                                      << "Sada ";
}

void TestCompCover::editorChecks() {
    QFETCH(QString, name);
    QFETCH(bool, withItem);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QString, stored);
    Fixture f;
    const RecordId id =
        f.Make("původní", withItem ? std::vector<long long>{f.box} : std::vector<long long>{});
    CDlgCompCover dialog(f.context, f.itemWizard, id);
    QWidget* focused = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.NameEdit()->setText(name);
        PressOk(&dialog);
        focused = dialog.focusWidget();
        if (dialog.isVisible())
            dialog.reject();
    });
    const int result = dialog.exec();
    if (message.isEmpty()) {
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(dialog.Record().name), stored);
        QVERIFY(f.db.messages.shown.empty());
    } else {
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.db.messages.Texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(f.db.messages.shown.front().icon, MsgIcon::Exclamation);
        QWidget* expected =
            focus == "name" ? static_cast<QWidget*>(dialog.NameEdit()) : dialog.ItemList();
        QCOMPARE(focused, expected);
    }
}

void TestCompCover::itemKeysBelongToTheDialog_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    for (const char* focus : {"name", "note", "items"}) {
        QTest::newRow(qPrintable(QStringLiteral("Ins in ") + focus))
            << focus << int(Qt::Key_Insert);
        QTest::newRow(qPrintable(QStringLiteral("Del in ") + focus))
            << focus << int(Qt::Key_Delete);
    }
}

void TestCompCover::itemKeysBelongToTheDialog() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    Fixture f;
    const RecordId id = f.Make("sada", {f.box, f.foil});
    CDlgCompCover dialog(f.context, f.itemWizard, id, {.name = "sada"});
    bool wizardShown = false;
    QString nameAfter;
    QStringList items;
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* target = focus == "name"   ? static_cast<QWidget*>(dialog.NameEdit())
                          : focus == "note" ? static_cast<QWidget*>(dialog.NoteEdit())
                                            : dialog.ItemList();
        target->setFocus();
        dialog.NameEdit()->setCursorPosition(0);
        if (key == Qt::Key_Insert)
            OnNextModal([&](QWidget* modal) {
                wizardShown = qobject_cast<QWizard*>(modal) != nullptr;
                FinishItemWizard(modal, 0);
            });
        QTest::keyClick(target, Qt::Key(key));
        nameAfter = dialog.NameEdit()->text();
        items = f.ItemNames(&dialog);
        dialog.reject();
    });
    dialog.exec();
    // Ins added the picked cover, Del removed the selected item; the text of
    // the edit boxes is untouched either way, and nothing is stored.
    QCOMPARE(nameAfter, QStringLiteral("sada"));
    QCOMPARE(wizardShown, key == Qt::Key_Insert);
    const QStringList expected = key == Qt::Key_Insert
                                     ? QStringList{"Čtyřcestná paleta", "Fólie", "Krabice"}
                                     : QStringList{"Krabice"};
    QCOMPARE(items, expected);
    QVERIFY(f.db.messages.shown.empty());
    QCOMPARE(f.StoredItems(id), 2);
}

void TestCompCover::itemMenuGreying_data() {
    QTest::addColumn<bool>("onRow");
    QTest::newRow("on a row") << true;
    QTest::newRow("below the rows") << false;
}

void TestCompCover::itemMenuGreying() {
    QFETCH(bool, onRow);
    Fixture f;
    CDlgCompCover dialog(f.context, f.itemWizard, f.Make("sada", {f.box}));
    QStringList items;
    QTimer::singleShot(0, &dialog, [&] {
        QTimer::singleShot(0, &dialog, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) {
                    if (!action->isSeparator())
                        items << action->text() + (action->isEnabled() ? "" : " (šedé)");
                }
                menu->close();
            }
        });
        emit dialog.ItemList()->contextMenuRequested(onRow ? 0 : -1, dialog.mapToGlobal(QPoint()));
        dialog.reject();
    });
    dialog.exec();
    const QString grey = onRow ? "" : " (šedé)";
    QCOMPARE(items, (QStringList{"&Přidat\tIns", "&Upravit" + grey, "&Odstranit\tDel" + grey}));
}

void TestCompCover::stornoLeavesStoredItems() {
    Fixture f;
    const RecordId id = f.Make("sada", {f.box, f.foil});
    CDlgCompCover dialog(f.context, f.itemWizard, id);
    QTimer::singleShot(0, &dialog, [&] {
        OnNextModal([](QWidget* modal) { FinishItemWizard(modal, 2); });
        dialog.AddItem();
        dialog.ItemList()->SelectRow(0);
        dialog.DeleteItem();
        dialog.reject();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(f.StoredItems(id), 2);
    QCOMPARE(f.db.Text("SELECT GROUP_CONCAT(cover_id) FROM (SELECT cover_id FROM CompCover_Item "
                       "ORDER BY rowid)"),
             std::to_string(f.box) + "," + std::to_string(f.foil));
}

void TestCompCover::helpButtonOpensContext13() {
    Fixture f;
    CDlgCompCover dialog(f.context, f.itemWizard);
    bool stayedOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
            if (button->text() == QStringLiteral("Nápověda"))
                button->click();
        }
        stayedOpen = dialog.isVisible();
        dialog.reject();
    });
    dialog.exec();
    QVERIFY(stayedOpen);
    QCOMPARE(f.helpAsked, std::vector<int>{help::CompCover});
}

void TestCompCover::addKeepsThePreviousSelection() {
    Fixture f;
    f.Make("alfa", {f.box});
    f.Make("gama", {f.box});
    f.Open();
    f.view->MainList()->SelectRow(1); // gama
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCompCover*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        dialog->NameEdit()->setText(QStringLiteral("beta"));
        OnNextModal([](QWidget* wizard) { FinishItemWizard(wizard, 1); });
        dialog->AddItem();
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Add);
    QCOMPARE(f.Names(), (QStringList{"alfa", "beta", "gama"}));
    const std::vector<int> selected = f.view->MainList()->SelectedRows();
    QCOMPARE(selected, std::vector<int>{2});
    const RecordId beta = f.db.Number("SELECT ccover_id FROM CompCover WHERE ccover_name='beta'");
    QCOMPARE(f.db.Number("SELECT cover_id FROM CompCover_Item WHERE ccover_id = " +
                         std::to_string(beta)),
             f.foil);
}

void TestCompCover::editReplacesItems() {
    Fixture f;
    const RecordId id = f.Make("sada", {f.box, f.foil});
    f.Open();
    f.view->MainList()->SelectRow(0);
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgCompCover*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        dialog->ItemList()->SelectRow(1); // Krabice
        dialog->DeleteItem();
        dialog->NoteEdit()->setText(QStringLiteral("bez krabice"));
        PressOk(dialog);
    });
    f.view->OnCommand(cmd::Edit);
    QCOMPARE(f.StoredItems(id), 1);
    QCOMPARE(f.db.Number("SELECT cover_id FROM CompCover_Item"), f.foil);
    QCOMPARE(f.db.Text("SELECT ccover_note FROM CompCover"), std::string("bez krabice"));
    QCOMPARE(f.view->MainList()->Model()->Cell(0, 1), QStringLiteral("bez krabice"));
}

void TestCompCover::filter_data() {
    QTest::addColumn<bool>("useName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("namePart");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("pressed");
    QTest::newRow("part of the name")
        << true << "PALETA" << true << true << QStringList{"Paleta EUR", "velká paleta"} << true;
    QTest::newRow("cancel keeps the list")
        << true << "nic" << false << false << QStringList{"Krabice", "Paleta EUR", "velká paleta"}
        << false;
}

void TestCompCover::filter() {
    QFETCH(bool, useName);
    QFETCH(QString, name);
    QFETCH(bool, namePart);
    QFETCH(bool, accept);
    QFETCH(QStringList, names);
    QFETCH(bool, pressed);
    Fixture f;
    f.Make("velká paleta", {f.box});
    f.Make("Paleta EUR", {f.box});
    f.Make("Krabice", {f.box});
    f.Open();
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgFilterCompCover*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        if (useName)
            dialog->UseNameBox()->click();
        dialog->NameEdit()->setText(name);
        dialog->NamePartBox()->setChecked(namePart);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    f.view->OnCommand(cmd::Filter);
    QCOMPARE(f.Names(), names);
    QCOMPARE(f.view->FilterButton()->IsHeldPressed(), pressed);
}

void TestCompCover::filterDialogEnabling_data() {
    QTest::addColumn<bool>("useName");
    QTest::addColumn<bool>("useNote");
    QTest::newRow("none") << false << false;
    QTest::newRow("name") << true << false;
    QTest::newRow("note") << false << true;
    QTest::newRow("both") << true << true;
}

void TestCompCover::filterDialogEnabling() {
    QFETCH(bool, useName);
    QFETCH(bool, useNote);
    CompCoverFilter filter;
    filter.useName = useName;
    filter.name = "a'b";
    UiDatabase db;
    CDlgFilterCompCover dialog(db.Context(), filter);
    QCOMPARE(dialog.NameEdit()->isEnabled(), useName);
    QCOMPARE(dialog.NamePartBox()->isEnabled(), useName);
    QCOMPARE(dialog.NoteEdit()->isEnabled(), false);
    // Clicking the criteria opens their fields.
    if (useNote)
        dialog.UseNoteBox()->click();
    QCOMPARE(dialog.NoteEdit()->isEnabled(), useNote);
    QCOMPARE(dialog.NotePartBox()->isEnabled(), useNote);
    dialog.accept();
    QCOMPARE(dialog.Record().useName, useName);
    QCOMPARE(dialog.Record().useNote, useNote);
    QCOMPARE(dialog.Record().name, std::string("a'b"));
    QCOMPARE(dialog.Record().IsActive(), useName || useNote);
}

QTEST_MAIN(TestCompCover)
#include "test_compcover.moc"

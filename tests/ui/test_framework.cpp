// The pieces the views are built from: the Qt list model over the core's
// rows, locale numbers and the progress window.
#include "core/registers/coverrows.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/localenumber.h"
#include "ui/framework/wizard.h"
#include "uitestsupport.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace tarvo;
using namespace tarvo::test;

class TestFramework : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void listModelFollowsItsRows();
    void localeNumbers_data();
    void localeNumbers();
    void progressWithoutCancel();
    void progressCancelReadOnce();
    void progressOwnerEnabledAgain();
    void progressLeavesDisabledOwnerDisabled();
    void dialogHelpOnButtonAndF1();
};

void TestFramework::listModelFollowsItsRows() {
    UiDatabase db;
    const long long a = db.AddCover("Bedna", 10000, 0, 1);
    db.AddCover("Archy", 5000, 2);
    ListModel model(db.messages, MakeCoverRows(db.Store()));
    QCOMPARE(model.columnCount(), 8);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("Hmotnost [kg]"));
    QVERIFY(model.Load(
        [&](IdList& ids) { return LoadCoverIds(db.Store(), CoverFilter{}, ListSort{}, ids); }));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("Archy"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QString("1"));
    // A changed record shows its new values once its row is refreshed.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    db.Run("UPDATE Cover SET cover_name = 'Bedýnka' WHERE cover_name = 'Bedna'");
    model.RefreshRow(model.RowOf(a));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.Cell(1, 0), QString("Bedýnka"));
    // A record removed by another program shows empty cells until its row goes.
    db.Run("DELETE FROM Cover WHERE cover_name = 'Archy'");
    model.RefreshRow(0);
    QCOMPARE(model.Cell(0, 0), QString());
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.RemoveRow(0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(model.Count(), 1);
    QCOMPARE(model.Id(0), RecordId{a});
    QVERIFY(db.messages.shown.empty());
}

void TestFramework::localeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qlonglong>("scaled");
    QTest::addColumn<QString>("shown");

    QTest::newRow("decimal comma") << "0,5" << true << 5000LL << "0,5";
    QTest::newRow("point accepted") << "0.25" << true << 2500LL << "0,25";
    QTest::newRow("group with blank") << "1 234,5" << true << 12345000LL << "1234,5";
    QTest::newRow("negative") << "-3,1" << true << -31000LL << "-3,1";
    QTest::newRow("four decimals") << "0,0001" << true << 1LL << "0,0001";
    QTest::newRow("text") << "abc" << false << 0LL << "";
    QTest::newRow("empty") << "" << false << 0LL << "";
}

void TestFramework::localeNumbers() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qlonglong, scaled);
    QFETCH(QString, shown);
    // The same under an English or C desktop: the program stays Czech.
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    const std::optional<Quantity> q = QuantityFromLocaleText(text);
    const QString back = q ? QuantityToLocaleText(*q) : QString();
    QLocale::setDefault(before);
    QCOMPARE(q.has_value(), valid);
    if (valid) {
        QCOMPARE(q->Scaled(), scaled);
        QCOMPARE(back, shown);
    }
}

void TestFramework::progressWithoutCancel() {
    CProgressWnd progress("Sestavení výkazu", false);
    QVERIFY(progress.Create(nullptr));
    QVERIFY(!progress.CancelButton()->isVisible());
    QCOMPARE(progress.windowTitle(), QString("Sestavení výkazu"));
    progress.CancelButton()->click();
    QVERIFY(!progress.CheckCancel());
    progress.SetRange(0, 50);
    progress.SetSecondaryStatus("1 z 50");
    progress.SetStatus("Hledám");
    QCOMPARE(progress.SecondaryStatus(), QString());
    progress.SetPos(20);
    QCOMPARE(progress.Bar()->value(), 20);
    QCOMPARE(progress.Bar()->maximum(), 50);
}

void TestFramework::progressCancelReadOnce() {
    CProgressWnd progress("Import dat z Money S3", true);
    progress.Create(nullptr);
    QVERIFY(progress.CancelButton()->isVisible());
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QVERIFY(progress.CheckCancel());
    QVERIFY(!progress.CheckCancel());
}

void TestFramework::progressOwnerEnabledAgain() {
    QWidget owner;
    QWidget child(&owner);
    owner.show();
    {
        CProgressWnd progress("Úprava vydaných obalů", true);
        QVERIFY(progress.Create(&child));
        QVERIFY(!owner.isEnabled());
        QVERIFY(progress.isEnabled());
    }
    QVERIFY(owner.isEnabled());
}

void TestFramework::progressLeavesDisabledOwnerDisabled() {
    QWidget owner;
    owner.show();
    owner.setEnabled(false);
    CProgressWnd progress("Import dat z WAK INTRA", true);
    progress.Create(&owner);
    progress.Destroy();
    QVERIFY(!owner.isEnabled());
}

// A dialog's help opens at its page from the "Nápověda" button and from F1,
// which the frame's own shortcut cannot reach while the dialog is modal.
void TestFramework::dialogHelpOnButtonAndF1() {
    UiDatabase db;
    GuiContext context = db.Context();
    std::vector<int> shown;
    context.showHelp = [&](int page) { shown.push_back(page); };
    QDialog dialog;
    QDialogButtonBox* buttons = MakeDialogButtons(&dialog, context, 7);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(shown, std::vector<int>{7});
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::HelpRole)
            button->click();
    }
    QCOMPARE(shown, (std::vector<int>{7, 7}));

    // A wizard page added with a help context has the same; a page without
    // one has no button, and F1 there does nothing.
    shown.clear();
    Wizard wizard(nullptr, context.showHelp);
    wizard.AddPage(new QWizardPage, 8);
    wizard.AddPage(new QWizardPage);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QVERIFY(wizard.button(QWizard::HelpButton)->isVisible());
    QCOMPARE(wizard.button(QWizard::HelpButton)->text(), QString("Nápověda"));
    wizard.button(QWizard::HelpButton)->click();
    QTest::keyClick(&wizard, Qt::Key_F1);
    wizard.next();
    QVERIFY(!wizard.button(QWizard::HelpButton)->isVisible());
    QTest::keyClick(&wizard, Qt::Key_F1);
    QCOMPARE(shown, (std::vector<int>{8, 8}));
}

QTEST_MAIN(TestFramework)
#include "test_framework.moc"

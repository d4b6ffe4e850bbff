// The registers' workbook in the window: the export command, the dialog that
// checks a workbook, and the import command driven through that dialog, on
// workbooks exported from a generated database.
#include "core/data/profile.h"
#include "core/registerbook/registerexport.h"
#include "core/workbook/workbookwriter.h"
#include "dev/datagenerator.h"
#include "ui/commands/registerbookcommands.h"
#include "ui/dialogs/cdlgimportregisters.h"
#include "ui/framework/cprogresswnd.h"
#include "ui/framework/existingrecordsgroup.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace tarvo;
using namespace tarvo::test;

Q_DECLARE_METATYPE(tarvo::ExistingMode)
Q_DECLARE_METATYPE(tarvo::OverwriteAnswer)

namespace {

constexpr const char* ModeKey = "Existujici zaznamy";

// The import command on a workbook, with the dialog handled by choose
// (which must close it).
void ImportThroughCommand(const GuiContext& context, const QString& book,
                          const std::function<void(CDlgImportRegisters*)>& choose) {
    OnNextModal([choose](QWidget* modal) {
        auto* dialog = qobject_cast<CDlgImportRegisters*>(modal);
        if (!dialog) {
            // A message instead: the file could not be read.
            modal->close();
            QFAIL(qPrintable(modal->windowTitle()));
        }
        choose(dialog);
    });
    RegisterBookFiles files;
    files.open = [book](QWidget*, const QString&) { return book; };
    RunImportRegistersCommand(context, nullptr, files);
}

// Presses Storno of the progress window as soon as it is up (the window
// handles the pending events when it is shown); the import sees the cancel
// at its first check.
void CancelWhenTheProgressShows() {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<CProgressWnd*>(widget);
            if (progress && progress->isVisible()) {
                timer->stop();
                timer->deleteLater();
                progress->CancelButton()->click();
            }
        }
    });
    timer->start();
}

int StoredMode(const UiDatabase& db) {
    return Profile(db.Folder() + "tarvo.ini").GetInt(RegisterImportSection, ModeKey, -1);
}

} // namespace

class TestRegisterBook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportWritesTheChosenFile_data();
    void exportWritesTheChosenFile();
    void dialogRefusesAFileWithFaults();
    void unreadableFileOpensNoDialog();
    void dialogChecksAgainWhenTheModeChanges();
    void importCommandWritesInTheChosenMode_data();
    void importCommandWritesInTheChosenMode();

private:
    // A database that holds everything of the book, with every cover's note
    // changed since.
    void ImportAndChangeCovers(UiDatabase& target);

    QTemporaryDir m_files;
    UiDatabase m_source;
    QString m_book;
    QString m_bigBook;
    QString m_faults;
};

void TestRegisterBook::initTestCase() {
    GeneratorOptions options;
    options.covers = 12;
    options.composites = 3;
    options.products = 10;
    options.dispatches = 5;
    NullProgress progress;
    GenerateData(m_source.Store(), options, progress);
    m_book = m_files.filePath(QStringLiteral("book.xlsx"));
    ExportRegisters(m_source.Store(), m_book.toStdString());
    // The import looks for a cancel every thousand rows: this book has more.
    UiDatabase big;
    options.products = 400;
    GenerateData(big.Store(), options, progress);
    m_bigBook = m_files.filePath(QStringLiteral("big.xlsx"));
    ExportRegisters(big.Store(), m_bigBook.toStdString());

    // A composite cover of a cover that is nowhere.
    m_faults = m_files.filePath(QStringLiteral("faults.xlsx"));
    WorkbookWriter book(m_faults.toStdString());
    book.AddSheet("Složené obaly", {{"Složený obal", 20},
                                    {"Obal", 20},
                                    {"Množství obalu", 10},
                                    {"Počet produktů", 10},
                                    {"Použít vždy", 10}});
    const WorkbookWriter::Cell item[] = {std::string_view("Paleta"),
                                         std::string_view("Karton 40x30"), std::string_view("1"),
                                         std::string_view("1"), std::string_view("ano")};
    book.AddRow(item);
    book.Save();
}

void TestRegisterBook::ImportAndChangeCovers(UiDatabase& target) {
    ImportThroughCommand(target.Context(), m_book,
                         [](CDlgImportRegisters* dialog) { dialog->ImportButton()->click(); });
    const char* covers = "SELECT COUNT(*) FROM Cover WHERE deleted = 0";
    QCOMPARE(target.Number(covers), m_source.Number(covers));
    target.Run("UPDATE Cover SET cover_note = 'upraveno'");
    target.messages.shown.clear();
    target.notifier.sent.clear();
}

// The name typed gets its extension; the folder chosen is proposed next time;
// a file that cannot be written is reported.
void TestRegisterBook::exportWritesTheChosenFile_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("icon"); // of the message shown; -1: none
    QTest::addColumn<QString>("written");

    QTest::newRow("name alone") << "Evidence" << int(MsgIcon::Information) << "Evidence.xlsx";
    QTest::newRow("upper-case extension")
        << "kopie.XLSX" << int(MsgIcon::Information) << "kopie.XLSX";
    QTest::newRow("missing folder") << "nic/tu/neni.xlsx" << int(MsgIcon::Error) << "";
    QTest::newRow("cancelled") << "" << -1 << "";
}

void TestRegisterBook::exportWritesTheChosenFile() {
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(int, icon);
    QTemporaryDir folder;
    const QString path = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    QStringList proposed;
    RegisterBookFiles files;
    files.save = [&](QWidget*, const QString& offered) {
        proposed << offered;
        return path;
    };
    files.open = [&](QWidget*, const QString& offered) {
        proposed << offered;
        return QString();
    };
    RunExportRegistersCommand(m_source.Context(), nullptr, files);
    RunImportRegistersCommand(m_source.Context(), nullptr, files);

    QCOMPARE(QFileInfo(proposed.at(0)).fileName(), QStringLiteral("Evidence.xlsx"));
    if (!written.isEmpty()) {
        QVERIFY(QFileInfo::exists(folder.filePath(written)));
        QCOMPARE(QDir(proposed.at(1)), QDir(folder.path()));
    }
    if (icon < 0) {
        QVERIFY(m_source.messages.shown.empty());
        return;
    }
    QCOMPARE(m_source.messages.shown.size(), size_t(1));
    const ShownMessage message = m_source.messages.shown.front();
    m_source.messages.shown.clear();
    QCOMPARE(static_cast<int>(message.icon), icon);
    if (message.icon == MsgIcon::Information)
        QVERIFY2(message.text.rfind("Exportováno: ", 0) == 0, message.text.c_str());
}

void TestRegisterBook::dialogRefusesAFileWithFaults() {
    UiDatabase target;
    CDlgImportRegisters dialog(target.Context(), m_faults);
    QCOMPARE(dialog.CheckStatus(), RegisterImportStatus::Faults);
    const QString text = dialog.CheckText()->toPlainText();
    QVERIFY2(text.startsWith("Soubor obsahuje chyby, nic nebylo importováno:\nList "),
             qPrintable(text));
    QVERIFY2(text.contains("\nList Složené obaly, řádek 2, sloupec Obal: "), qPrintable(text));
    QVERIFY(!dialog.ImportButton()->isEnabled());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Import evidencí"));
    QCOMPARE(QDir::fromNativeSeparators(dialog.FileEdit()->text()), m_faults);

    // Enter does not import either; nothing was written by the checks.
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    dialog.ModeGroup()->Button(ExistingMode::Overwrite)->click();
    QVERIFY(!dialog.ImportButton()->isEnabled());
    dialog.reject();
    QCOMPARE(target.Number("SELECT COUNT(*) FROM Cover"), 0LL);
    QVERIFY(target.messages.shown.empty());
}

// The reason has been told; there is nothing to choose.
void TestRegisterBook::unreadableFileOpensNoDialog() {
    UiDatabase target;
    const QString text = m_files.filePath(QStringLiteral("text.xlsx"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Název;Hmotnost\n");
    file.close();
    RegisterBookFiles files;
    files.open = [text](QWidget*, const QString&) { return text; };
    RunImportRegistersCommand(target.Context(), nullptr, files);
    QCOMPARE(target.messages.shown.size(), size_t(1));
    QVERIFY(target.messages.shown.front().icon != MsgIcon::Information);
}

void TestRegisterBook::dialogChecksAgainWhenTheModeChanges() {
    UiDatabase target;
    ImportAndChangeCovers(target);
    if (QTest::currentTestFailed())
        return;
    Profile(target.Folder() + "tarvo.ini").WriteInt(RegisterImportSection, ModeKey, 0);

    CDlgImportRegisters dialog(target.Context(), m_book);
    QCOMPARE(dialog.Mode(), ExistingMode::Overwrite);
    QCOMPARE(dialog.CheckStatus(), RegisterImportStatus::Done);
    const QString overwrite = dialog.CheckText()->toPlainText();
    dialog.ModeGroup()->Button(ExistingMode::Skip)->click();
    const QString skip = dialog.CheckText()->toPlainText();
    QVERIFY(!overwrite.isEmpty() && !skip.isEmpty());
    QVERIFY2(overwrite != skip, qPrintable(skip));
    QVERIFY(!skip.startsWith("Soubor obsahuje chyby"));
    QVERIFY(dialog.ImportButton()->isEnabled());
    dialog.ModeGroup()->Button(ExistingMode::Overwrite)->click();
    QCOMPARE(dialog.CheckText()->toPlainText(), overwrite);
    dialog.reject();
    // The checks asked nothing and wrote nothing.
    QCOMPARE(target.Number("SELECT COUNT(*) FROM Cover WHERE cover_note <> 'upraveno'"), 0LL);
    QVERIFY(target.messages.shown.empty());
    QVERIFY(target.notifier.sent.empty());
}

// The mode chosen in the dialog is the import's and is kept in tarvo.ini,
// also after Storno; the questions of the ask mode reach the user; Storno in
// the progress window leaves everything as it was.
void TestRegisterBook::importCommandWritesInTheChosenMode_data() {
    QTest::addColumn<ExistingMode>("mode");
    QTest::addColumn<bool>("import");
    QTest::addColumn<bool>("cancel");            // in the progress window
    QTest::addColumn<OverwriteAnswer>("answer"); // to every question of the ask mode
    QTest::addColumn<bool>("restored");          // the covers' notes as the file has them

    QTest::newRow("overwrite") << ExistingMode::Overwrite << true << false << OverwriteAnswer::No
                               << true;
    QTest::newRow("ask, yes to all")
        << ExistingMode::Ask << true << false << OverwriteAnswer::YesToAll << true;
    QTest::newRow("Storno") << ExistingMode::Overwrite << false << false << OverwriteAnswer::No
                            << false;
    QTest::newRow("cancelled") << ExistingMode::Overwrite << true << true << OverwriteAnswer::No
                               << false;
}

void TestRegisterBook::importCommandWritesInTheChosenMode() {
    QFETCH(ExistingMode, mode);
    QFETCH(bool, import);
    QFETCH(bool, cancel);
    QFETCH(OverwriteAnswer, answer);
    QFETCH(bool, restored);
    UiDatabase target;
    ImportAndChangeCovers(target);
    if (QTest::currentTestFailed())
        return;
    target.messages.overwriteAnswers.assign(100, answer);

    const long long products = target.Number("SELECT COUNT(*) FROM Product");
    ImportThroughCommand(target.Context(), cancel ? m_bigBook : m_book,
                         [mode, import, cancel](CDlgImportRegisters* dialog) {
                             dialog->ModeGroup()->Button(mode)->click();
                             if (cancel)
                                 CancelWhenTheProgressShows();
                             if (import)
                                 dialog->ImportButton()->click();
                             else
                                 dialog->reject();
                         });
    QCOMPARE(StoredMode(target), static_cast<int>(mode));
    const long long changed =
        target.Number("SELECT COUNT(*) FROM Cover WHERE cover_note = 'upraveno'");
    QCOMPARE(changed == 0, restored);
    if (!import) {
        QVERIFY(target.messages.shown.empty());
        return;
    }
    QVERIFY(!target.messages.shown.empty());
    const ShownMessage& summary = target.messages.shown.back();
    if (cancel) {
        QCOMPARE(summary, (ShownMessage{"Import byl přerušen!", MsgIcon::Information}));
        QVERIFY(target.notifier.sent.empty());
        QCOMPARE(target.Number("SELECT COUNT(*) FROM Product"), products);
        return;
    }
    QCOMPARE(summary.icon, MsgIcon::Information);
    QVERIFY2(summary.text.rfind("Import dokončen úspěšně!\n\n", 0) == 0, summary.text.c_str());
    QCOMPARE(target.messages.shown.size() > 1, mode == ExistingMode::Ask);
    // The views show what the import changed.
    QVERIFY(!restored || !target.notifier.sent.empty());
}

QTEST_MAIN(TestRegisterBook)
#include "test_registerbook.moc"

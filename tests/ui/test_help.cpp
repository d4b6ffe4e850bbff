// The help: every context number opens a page, every link and picture of
// every page resolves, the contents reach every page, the search finds pages
// by words typed without diacritics, and the help folder is looked up in the
// designed order.
#include "support/helpbook.h"
#include "support/helpwindow.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace tarvo;

namespace {

const QString SourceFolder = QStringLiteral(TARVO_HELP_SOURCE);

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void CollectPages(const std::vector<ContentsEntry>& entries, QSet<QString>& pages) {
    for (const ContentsEntry& entry : entries) {
        pages.insert(entry.page);
        CollectPages(entry.children, pages);
    }
}

void WriteContentsPage(const QString& folder, const QString& title) {
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(QStringLiteral("index.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<html><head><title>%1</title></head><body></body></html>")
                   .arg(title)
                   .toUtf8());
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void picturesFitThePane();
    void contextOpensItsPage_data();
    void contextOpensItsPage();
    void linksResolve_data();
    void linksResolve();
    void compiledInHelpMatchesTheFolder();
    void contentsReachEveryPage();
    void search_data();
    void search();
    void helpFolderOrder_data();
    void helpFolderOrder();
    void helpAskedFromADialogIsUsableThere();
};

void TestHelp::picturesFitThePane() {
    HelpWindow window(QStringLiteral(":/help"));
    window.resize(700, 500);
    window.show();
    window.ShowPage("hlavni-okno.html");
    const int natural = QImage(":/help/main-window.png").width();
    auto pictureWidth = [&] {
        for (QTextBlock b = window.Browser()->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isImageFormat())
                    return static_cast<int>(it.fragment().charFormat().toImageFormat().width());
            }
        }
        return -1;
    };
    QVERIFY(natural > 700);
    QVERIFY(pictureWidth() > 0);
    QVERIFY(pictureWidth() < window.Browser()->viewport()->width());
    // A pane wider than the picture shows it at its own size.
    window.resize(natural + 600, 500);
    QCOMPARE(pictureWidth(), natural);
}

void TestHelp::contextOpensItsPage_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("title");
    QTest::newRow("F1") << "index.html" << help::Contents << "Nápověda pro Tarvo";
    QTest::newRow("Detail obalu") << "dlg-obal.html" << help::Cover << "Detail obalu";
    QTest::newRow("Detail produktu") << "dlg-produkt.html" << help::Product << "Detail produktu";
    QTest::newRow("Výdej produktů a obalů")
        << "dlg-vydej.html" << help::Dispatch << "Výdej produktů a obalů";
    QTest::newRow("Detail složeného obalu")
        << "dlg-slozeny-obal.html" << help::CompCover << "Detail složeného obalu";
    QTest::newRow("Import evidencí")
        << "import-evidenci.html" << help::RegisterImport << "Export a import evidencí";
    const std::pair<int, const char*> more[] = {
        {help::CoverFilter, "Filtr obalů"},
        {help::ProductFilter, "Filtr produktů"},
        {help::CompCoverFilter, "Filtr složených obalů"},
        {help::DispatchFilter, "Filtr výdejů"},
        {help::Options, "Možnosti"},
        {help::Packaging, "Balení produktu"},
        {help::Discard, "Vyřazení obalu"},
        {help::Report, "Čtvrtletní výkaz"},
        {help::Backup, "Zálohování a obnova dat"},
        {help::CoverPicker, "Výběr obalu a údaje balení"},
        {help::DispatchItems, "Položky a obaly výdeje"},
        {help::MoneyImport, "Import z Money S3"},
        {help::WakImport, "Import z WAK INTRA"},
        {help::Classification, "Zařazení obalů pro výkaz od roku 2021"},
        {help::Find, "Najít a nahradit"}};
    for (const auto& [context, title] : more)
        QTest::newRow(title) << PageOfContext(context) << context << QString(title);
    QTest::newRow("unknown number") << "index.html" << 4711 << "Nápověda pro Tarvo";
}

void TestHelp::contextOpensItsPage() {
    QFETCH(int, context);
    QFETCH(QString, page);
    QFETCH(QString, title);
    HelpWindow window(QStringLiteral(":/help"));
    window.ShowContext(context);
    QCOMPARE(window.CurrentPage(), page);
    QCOMPARE(window.Browser()->documentTitle(), title);
    // The contents page carries the window's own name, which is not repeated.
    const QString name = QStringLiteral("Nápověda pro Tarvo");
    QCOMPARE(window.windowTitle(), title == name ? name : name + QStringLiteral(" – ") + title);
    QVERIFY(window.Browser()->toPlainText().size() > 200);
    // The contents follow the page shown; the contents page itself is no entry.
    if (page != QLatin1String("index.html")) {
        QVERIFY(window.ContentsTree()->currentItem());
        QCOMPARE(window.ContentsTree()->currentItem()->text(0), title);
    }
}

void TestHelp::linksResolve_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("page");
    for (const QString& folder : {SourceFolder, QStringLiteral(":/help")}) {
        for (const QString& page : HelpBook(folder).Pages())
            QTest::newRow(qPrintable(folder + "/" + page)) << folder << page;
    }
}

void TestHelp::linksResolve() {
    QFETCH(QString, folder);
    QFETCH(QString, page);
    const QString html = ReadAll(QDir(folder).filePath(page));
    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    int checked = 0;
    for (const QRegularExpressionMatch& match : reference.globalMatch(html)) {
        const QString target = match.captured(1);
        if (target.startsWith(QLatin1String("http")) || target.startsWith(QLatin1String("mailto:")))
            continue;
        const QString file = target.section(QLatin1Char('#'), 0, 0);
        const QString anchor = target.section(QLatin1Char('#'), 1);
        const QString path = QDir(folder).filePath(file.isEmpty() ? page : file);
        QVERIFY2(QFileInfo::exists(path), qPrintable(page + " → " + target));
        if (!anchor.isEmpty())
            QVERIFY2(ReadAll(path).contains(QStringLiteral("id=\"%1\"").arg(anchor)),
                     qPrintable(page + " → " + target));
        ++checked;
    }
    // Every page links at least its style sheet and the way back.
    QVERIFY2(checked >= 2, qPrintable(page));
    QVERIFY(!HelpBook(folder).Title(page).isEmpty());
}

void TestHelp::compiledInHelpMatchesTheFolder() {
    const QStringList files = QDir(SourceFolder).entryList(QDir::Files, QDir::Name);
    QCOMPARE(QDir(QStringLiteral(":/help")).entryList(QDir::Files, QDir::Name), files);
    QVERIFY(files.contains(QStringLiteral("cdlgcompcover.png")));
}

void TestHelp::contentsReachEveryPage() {
    const HelpBook book(QStringLiteral(":/help"));
    QSet<QString> listed;
    CollectPages(book.Contents(), listed);
    listed.insert(QString::fromLatin1(HelpBook::ContentsPage));
    const QStringList pages = book.Pages();
    QCOMPARE(listed, QSet<QString>(pages.begin(), pages.end()));
    // Each entry carries the title of its page.
    for (const ContentsEntry& entry : book.Contents())
        QCOMPARE(entry.title, book.Title(entry.page));
}

void TestHelp::search_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("alsoFound");
    QTest::addColumn<QString>("firstPage");
    QTest::newRow("message text") << "Není zadáno jméno" << QStringList{}
                                  << "dlg-slozeny-obal.html";
    QTest::newRow("no diacritics, any case")
        << "NENI ZADANO JMENO" << QStringList{} << "dlg-slozeny-obal.html";
    QTest::newRow("every word must occur")
        << "záloha obnova TarvoTmp" << QStringList{"prikazova-radka.html"} << "zalohovani.html";
    QTest::newRow("command line") << "tarvo-cli"
                                  << QStringList{"zalohovani.html", "prepocet-obalu.html"}
                                  << "prikazova-radka.html";
    QTest::newRow("nothing") << "xyzzy" << QStringList{} << "";
    QTest::newRow("blank query") << "   " << QStringList{} << "";
}

void TestHelp::search() {
    QFETCH(QString, query);
    QFETCH(QString, firstPage);
    QFETCH(QStringList, alsoFound);
    HelpWindow window(QStringLiteral(":/help"));
    window.ShowContext(help::Contents);
    window.Search(query);
    QStringList found;
    for (int row = 0; row < window.SearchResults()->count(); ++row)
        found << window.SearchResults()->item(row)->data(Qt::UserRole).toString();
    if (firstPage.isEmpty()) {
        QVERIFY(found.isEmpty());
        QCOMPARE(window.CurrentPage(), QStringLiteral("index.html"));
        return;
    }
    QCOMPARE(found.value(0), firstPage);
    for (const QString& page : alsoFound)
        QVERIFY2(found.contains(page), qPrintable(page));
    QCOMPARE(window.CurrentPage(), firstPage);
}

void TestHelp::helpFolderOrder_data() {
    QTest::addColumn<bool>("inData");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("title");
    QTest::newRow("data folder first") << true << true << "data";
    QTest::newRow("installed next") << false << true << "installed";
    QTest::newRow("compiled in last") << false << false << "Nápověda pro Tarvo";
}

void TestHelp::helpFolderOrder() {
    QFETCH(bool, inData);
    QFETCH(bool, installed);
    QFETCH(QString, title);
    QTemporaryDir root;
    const QString data = root.filePath(QStringLiteral("data"));
    const QString resources = root.filePath(QStringLiteral("prefix/share/tarvo"));
    QDir().mkpath(data);
    if (inData)
        WriteContentsPage(data + "/help", QStringLiteral("data"));
    if (installed)
        WriteContentsPage(root.filePath(QStringLiteral("prefix/share/tarvo/help")),
                          QStringLiteral("installed"));
    // A data folder's "help" without a contents page is not a help.
    if (!inData)
        QDir().mkpath(data + "/help");
    HelpWindow window(FindHelpFolder(data, resources));
    window.ShowContext(help::Contents);
    QCOMPARE(window.Browser()->documentTitle(), title);
}

void TestHelp::helpAskedFromADialogIsUsableThere() {
    HelpViewer viewer{QString(), QString()};
    QDialog dialog;
    QWidget* parentWhileOpen = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        viewer.Show(help::CompCover);
        parentWhileOpen = viewer.Window()->parentWidget();
        dialog.reject();
    });
    dialog.exec();
    // Over a modal dialog the help is that dialog's window, which the
    // dialog's modality does not block; afterwards it stays open on its own.
    QCOMPARE(parentWhileOpen, &dialog);
    QVERIFY(viewer.Window());
    QCOMPARE(viewer.Window()->parentWidget(), nullptr);
    QVERIFY(viewer.Window()->isVisible());
    QCOMPARE(viewer.Window()->CurrentPage(), QStringLiteral("dlg-slozeny-obal.html"));
    // F1 afterwards brings the same window to the contents.
    HelpWindow* window = viewer.Window();
    viewer.Show(help::Contents);
    QCOMPARE(viewer.Window(), window);
    QCOMPARE(window->CurrentPage(), QStringLiteral("index.html"));

    // It lies whole on the screen, title bar included, and Escape closes it.
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY(screen.contains(window->geometry()));
    QVERIFY(window->geometry().top() > screen.top());
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"

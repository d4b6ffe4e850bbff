#include "support/helpwindow.h"

#include "support/imagefitter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvo {

namespace {

constexpr int PageRole = Qt::UserRole;
const QString WindowTitle = QStringLiteral("Nápověda pro Tarvo");

} // namespace

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_book(folder) {
    setWindowTitle(WindowTitle);
    setObjectName(QStringLiteral("helpWindow"));
    // The help accompanies the program: closing the main window ends the
    // program even while the help is open, instead of leaving it running
    // with only the help on the screen.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({folder});
    new ImageFitter(m_browser);
    // The text browser does not load a page's linked style sheet, so the
    // help's one style sheet is every page's default.
    QFile css(QDir(folder).filePath(QStringLiteral("napoveda.css")));
    if (css.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));

    auto* toolbar = new QToolBar(this);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowBack),
                                       QStringLiteral("Zpět"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction* forward =
        toolbar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Vpřed"),
                           m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    QAction* home =
        toolbar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Obsah"),
                           this, [this] { ShowContext(help::Contents); });
    home->setShortcut(Qt::ALT | Qt::Key_Home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    m_contents = new QTreeWidget(this);
    m_contents->setHeaderHidden(true);
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, PageRole).toString()); });
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ShowPage(item->data(0, PageRole).toString()); });

    auto* searchPane = new QWidget(this);
    m_query = new QLineEdit(searchPane);
    m_query->setPlaceholderText(QStringLiteral("Hledané slovo"));
    m_query->setClearButtonEnabled(true);
    auto* find = new QPushButton(QStringLiteral("&Hledat"), searchPane);
    m_results = new QListWidget(searchPane);
    m_nothingFound =
        new QLabel(QStringLiteral("Žádná stránka neobsahuje všechna hledaná slova."), searchPane);
    m_nothingFound->setWordWrap(true);
    m_nothingFound->hide();
    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(m_query, 1);
    queryRow->addWidget(find);
    auto* searchLayout = new QVBoxLayout(searchPane);
    searchLayout->addLayout(queryRow);
    searchLayout->addWidget(m_nothingFound);
    searchLayout->addWidget(m_results, 1);
    connect(m_query, &QLineEdit::returnPressed, this, [this] { Search(m_query->text()); });
    connect(find, &QPushButton::clicked, this, [this] { Search(m_query->text()); });
    connect(m_results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(PageRole).toString()); });
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(PageRole).toString()); });

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_contents, QStringLiteral("&Obsah"));
    m_tabs->addTab(searchPane, QStringLiteral("Hl&edat"));
    // Whoever opens the search tab wants to type the words at once.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            m_query->setFocus();
    });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(splitter, 1);
    resize(1000, 680);
    // A reader's window: Escape puts it away, as it does a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::OnSourceChanged);
    FillContents();
}

void HelpWindow::FillContents() {
    AddContents(nullptr, m_book.Contents());
    m_contents->expandAll();
}

void HelpWindow::AddContents(QTreeWidgetItem* parent, const std::vector<ContentsEntry>& entries) {
    for (const ContentsEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
        item->setText(0, entry.title);
        item->setData(0, PageRole, entry.page);
        AddContents(item, entry.children);
    }
}

void HelpWindow::ShowPage(const QString& page) {
    if (page.isEmpty())
        return;
    m_browser->setSource(m_book.Url(page));
}

void HelpWindow::ShowContext(int context) {
    ShowPage(PageOfContext(context));
}

QString HelpWindow::CurrentPage() const {
    return QFileInfo(m_browser->source().path()).fileName();
}

void HelpWindow::OnSourceChanged(const QUrl& source) {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() || title == WindowTitle
                       ? WindowTitle
                       : WindowTitle + QStringLiteral(" – ") + title);
    // The contents follow the page, also when it was reached by a link. The
    // signal comes before source() reports the new page.
    const QString page = QFileInfo(source.path()).fileName();
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, PageRole).toString() == page) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
    m_contents->clearSelection();
}

void HelpWindow::Search(const QString& query) {
    m_tabs->setCurrentIndex(1);
    m_query->setText(query);
    m_results->clear();
    const std::vector<SearchHit> hits = m_book.Search(query);
    for (const SearchHit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title, m_results);
        item->setData(PageRole, hit.page);
    }
    m_nothingFound->setVisible(hits.empty() && !query.trimmed().isEmpty());
    if (hits.empty())
        return;
    m_results->setCurrentRow(0);
    ShowPage(hits.front().page);
    // Mark the first place of the first word, when it is written as typed.
    const QString first = query.simplified().section(QLatin1Char(' '), 0, 0);
    m_browser->find(first);
}

HelpViewer::HelpViewer(QString dataFolder, QString resourceFolder)
    : m_folder(FindHelpFolder(dataFolder, resourceFolder)) {}

HelpViewer::~HelpViewer() {
    delete m_window.data();
}

void HelpViewer::Show(int context) {
    // A modal dialog blocks every window that is not its own, so help asked
    // for from a dialog opens as a window of that dialog, where it can be
    // read and scrolled while the dialog waits. When the dialog ends, the
    // help becomes a window of its own again and stays open.
    QWidget* owner = QApplication::activeModalWidget();
    if (!m_window)
        m_window = new HelpWindow(m_folder);
    if (m_window->parentWidget() != owner) {
        Reparent(owner);
        if (auto* dialog = qobject_cast<QDialog*>(owner))
            QObject::connect(
                dialog, &QDialog::finished, m_window, [this] { Reparent(nullptr); },
                Qt::SingleShotConnection);
    }
    m_window->ShowContext(context);
    if (!m_window->isVisible())
        PlaceOn(owner ? owner : QApplication::activeWindow());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HelpViewer::PlaceOn(QWidget* asker) {
    // A closed window opens again in the middle of the screen of the window
    // that asked, whole: a window never shown has no place of its own yet,
    // and the window manager would put its title bar above the screen.
    QScreen* screen = asker ? asker->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    QRect place(QPoint(), m_window->size().boundedTo(available.size() * 0.9));
    place.moveCenter(available.center());
    m_window->setGeometry(place);
}

void HelpViewer::Reparent(QWidget* owner) {
    const QRect place = m_window->geometry();
    const bool shown = m_window->isVisible();
    m_window->setParent(owner, Qt::Window);
    m_window->setGeometry(place);
    m_window->setVisible(shown);
}

} // namespace tarvo

#pragma once

#include "support/helpbook.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarvo {

// The program's help window: the contents on the left (a tab with the
// search beside it), the page on the right, back and forward in the toolbar.
// Links to other pages open here; web and mail links go to the desktop.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

    void ShowPage(const QString& page);
    void ShowContext(int context);
    // Runs the search and lists the pages found; the first is opened.
    void Search(const QString& query);

    const HelpBook& Book() const { return m_book; }
    QTextBrowser* Browser() const { return m_browser; }
    QTreeWidget* ContentsTree() const { return m_contents; }
    QListWidget* SearchResults() const { return m_results; }
    QLineEdit* SearchBox() const { return m_query; }
    // The file name of the page shown.
    QString CurrentPage() const;

private:
    void FillContents();
    void AddContents(QTreeWidgetItem* parent, const std::vector<ContentsEntry>& entries);
    void OnSourceChanged(const QUrl& source);

    HelpBook m_book;
    QTextBrowser* m_browser;
    QTreeWidget* m_contents;
    QTabWidget* m_tabs;
    QLineEdit* m_query;
    QListWidget* m_results;
    QLabel* m_nothingFound;
};

// The help of the running program: finds the help folder (the data folder
// first), makes the window on first use and brings it forward on every
// request. The application puts Show into GuiContext::showHelp and calls it
// with help::Contents for F1.
class HelpViewer {
public:
    HelpViewer(QString dataFolder, QString resourceFolder);
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    void Show(int context);
    HelpWindow* Window() const { return m_window; }

private:
    void PlaceOn(QWidget* asker);
    void Reparent(QWidget* owner);

    QString m_folder;
    QPointer<HelpWindow> m_window;
};

} // namespace tarvo

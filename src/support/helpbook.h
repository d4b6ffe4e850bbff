#pragma once

#include "ui/framework/helpcontexts.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace tarvo {

// Which page a context number opens.
struct HelpTopic {
    int context;
    const char* page;
};
const std::vector<HelpTopic>& HelpTopics();
// The page of a context number; the contents page for a number without one.
QString PageOfContext(int context);

// The folders the help may come from, in the order they are tried: the data
// folder's "help" (a company may put its own pages there), the "help" of the
// installed resource folder (share/tarvo beside the program, on Windows the
// program's folder), and the pages compiled into the program.
QStringList HelpFolderCandidates(const QString& dataFolder, const QString& resourceFolder);
// The first candidate that holds the contents page.
QString FindHelpFolder(const QString& dataFolder, const QString& resourceFolder);

// One entry of the contents: a page with its title and the entries under it.
struct ContentsEntry {
    QString title;
    QString page;
    std::vector<ContentsEntry> children;
};

// A page found by the search, with how often the words occur in it.
struct SearchHit {
    QString page;
    QString title;
    int count = 0;
};

// The help pages of one folder: their addresses, the contents (the nested
// lists of links of the contents page) and a full-text search.
class HelpBook {
public:
    static constexpr const char* ContentsPage = "index.html";

    explicit HelpBook(QString folder);

    const QString& Folder() const { return m_folder; }
    QUrl Url(const QString& page) const;
    // Every page of the folder, by file name.
    QStringList Pages() const;
    QString Title(const QString& page) const;
    std::vector<ContentsEntry> Contents() const;
    // Pages holding every word of the query, most occurrences first. Letter
    // case and diacritics do not matter: "obal" finds "Obal", "vydej" finds
    // "výdej".
    std::vector<SearchHit> Search(const QString& query) const;

    // Text folded for comparing: lower case, without diacritics.
    static QString Fold(const QString& text);

private:
    struct Page {
        QString name;
        QString title;
        QString foldedText;
    };
    const std::vector<Page>& Index() const;
    QString Read(const QString& page) const;

    QString m_folder;
    mutable std::vector<Page> m_index;
};

} // namespace tarvo

#include "support/helpbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QXmlStreamReader>
#include <algorithm>

namespace tarvo {

namespace {

constexpr const char* CompiledIn = ":/help";

void ReadContentsList(QXmlStreamReader& xml, std::vector<ContentsEntry>& entries) {
    // Inside a <ul>: each <li> is an entry, its first link names it, a <ul>
    // inside it holds its children.
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("li")) {
            xml.skipCurrentElement();
            continue;
        }
        ContentsEntry entry;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("a") && entry.page.isEmpty()) {
                entry.page = xml.attributes().value(QLatin1String("href")).toString();
                entry.title =
                    xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
            } else if (xml.name() == QLatin1String("ul")) {
                ReadContentsList(xml, entry.children);
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!entry.page.isEmpty())
            entries.push_back(std::move(entry));
    }
}

} // namespace

const std::vector<HelpTopic>& HelpTopics() {
    static const std::vector<HelpTopic> topics = {
        {help::Contents, HelpBook::ContentsPage},
        {help::Cover, "dlg-obal.html"},
        {help::Product, "dlg-produkt.html"},
        {help::Dispatch, "dlg-vydej.html"},
        {help::CompCover, "dlg-slozeny-obal.html"},
        {help::RegisterImport, "import-evidenci.html"},
        {help::CoverFilter, "filtr-obalu.html"},
        {help::ProductFilter, "filtr-produktu.html"},
        {help::CompCoverFilter, "filtr-slozenych-obalu.html"},
        {help::DispatchFilter, "filtr-vydeju.html"},
        {help::Options, "moznosti.html"},
        {help::Packaging, "baleni.html"},
        {help::Discard, "vyrazeni-obalu.html"},
        {help::Report, "vykaz.html"},
        {help::Backup, "zalohovani.html"},
        {help::CoverPicker, "vyber-obalu.html"},
        {help::DispatchItems, "polozky-vydeje.html"},
        {help::MoneyImport, "import-money.html"},
        {help::WakImport, "import-wak.html"},
        {help::Classification, "zarazeni-2021.html"},
        {help::Find, "hledani.html"},
        {help::GettingStarted, "zaciname.html"},
    };
    return topics;
}

QString PageOfContext(int context) {
    for (const HelpTopic& topic : HelpTopics()) {
        if (topic.context == context)
            return QString::fromLatin1(topic.page);
    }
    return QString::fromLatin1(HelpBook::ContentsPage);
}

QStringList HelpFolderCandidates(const QString& dataFolder, const QString& resourceFolder) {
    QStringList folders;
    if (!dataFolder.isEmpty())
        folders << QDir(dataFolder).filePath(QStringLiteral("help"));
    if (!resourceFolder.isEmpty())
        folders << QDir(resourceFolder).filePath(QStringLiteral("help"));
    folders << QString::fromLatin1(CompiledIn);
    return folders;
}

QString FindHelpFolder(const QString& dataFolder, const QString& resourceFolder) {
    // The whole help comes from one folder, so that its links stay among
    // pages of one version.
    for (const QString& folder : HelpFolderCandidates(dataFolder, resourceFolder)) {
        if (QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(HelpBook::ContentsPage))))
            return folder;
    }
    return QString::fromLatin1(CompiledIn);
}

HelpBook::HelpBook(QString folder) : m_folder(std::move(folder)) {}

QUrl HelpBook::Url(const QString& page) const {
    const QString path = QDir(m_folder).filePath(page);
    if (path.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

QStringList HelpBook::Pages() const {
    return QDir(m_folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

QString HelpBook::Read(const QString& page) const {
    QFile file(QDir(m_folder).filePath(page));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString HelpBook::Title(const QString& page) const {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = title.match(Read(page));
    return match.hasMatch() ? match.captured(1).simplified() : page;
}

std::vector<ContentsEntry> HelpBook::Contents() const {
    std::vector<ContentsEntry> entries;
    QXmlStreamReader xml(Read(QString::fromLatin1(ContentsPage)));
    // The top lists of the contents page make the contents; lists inside
    // them are the entries below an entry.
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("ul"))
            ReadContentsList(xml, entries);
    }
    return entries;
}

QString HelpBook::Fold(const QString& text) {
    QString folded;
    const QString decomposed = text.toLower().normalized(QString::NormalizationForm_D);
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    }
    return folded;
}

const std::vector<HelpBook::Page>& HelpBook::Index() const {
    // Read once, on the first search: a few dozen small pages.
    if (m_index.empty()) {
        for (const QString& name : Pages()) {
            const QString html = Read(name);
            m_index.push_back(
                {name, Title(name), Fold(QTextDocumentFragment::fromHtml(html).toPlainText())});
        }
    }
    return m_index;
}

std::vector<SearchHit> HelpBook::Search(const QString& query) const {
    const QStringList words =
        Fold(query).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<SearchHit> hits;
    if (words.isEmpty())
        return hits;
    for (const Page& page : Index()) {
        int total = 0;
        bool all = true;
        for (const QString& word : words) {
            const int count = static_cast<int>(page.foldedText.count(word));
            if (count == 0) {
                all = false;
                break;
            }
            total += count;
        }
        if (all)
            hits.push_back({page.name, page.title, total});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const SearchHit& a, const SearchHit& b) { return a.count > b.count; });
    return hits;
}

} // namespace tarvo

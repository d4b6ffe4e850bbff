#include "support/imagefitter.h"

#include <QEvent>
#include <QImageReader>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace tarvo {

namespace {

// The picture's own size, read from the folder of the page shown (a folder
// on the disk or the compiled-in help).
QSize NaturalSize(const QUrl& page, const QString& name) {
    const QUrl url = page.resolved(QUrl(name));
    const QString path = url.isLocalFile() ? url.toLocalFile() : QLatin1Char(':') + url.path();
    return QImageReader(path).size();
}

} // namespace

ImageFitter::ImageFitter(QTextBrowser* browser) : QObject(browser), m_browser(browser) {
    browser->viewport()->installEventFilter(this);
    // The browser reports the new page before its source() does.
    connect(browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& page) {
        m_page = page;
        Fit();
    });
}

bool ImageFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        Fit();
    return QObject::eventFilter(watched, event);
}

void ImageFitter::Fit() {
    QTextDocument* document = m_browser->document();
    const int room =
        m_browser->viewport()->width() - 2 * static_cast<int>(document->documentMargin());
    if (room <= 0)
        return;
    struct Picture {
        int position;
        QTextImageFormat format;
    };
    std::vector<Picture> changed;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QSize natural = NaturalSize(m_page, format.name());
            if (natural.isEmpty())
                continue;
            const int width = std::min(natural.width(), room);
            if (static_cast<int>(format.width()) == width)
                continue;
            format.setWidth(width);
            format.setHeight(static_cast<double>(natural.height()) * width / natural.width());
            changed.push_back({fragment.position(), format});
        }
    }
    for (const Picture& picture : changed) {
        QTextCursor cursor(document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
}

} // namespace tarvo

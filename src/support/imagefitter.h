#pragma once

#include <QObject>
#include <QUrl>

class QTextBrowser;

namespace tarvo {

// Scales the pictures of the pages a text browser shows down to the width of
// its pane, keeping their proportions, whenever a page is opened or the pane
// changes its width; a picture narrower than the pane keeps its own size.
// The text browser knows no CSS max-width, so a screenshot wider than the
// help's pane would otherwise need the horizontal scroll bar.
class ImageFitter : public QObject {
public:
    explicit ImageFitter(QTextBrowser* browser);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void Fit();

private:
    QTextBrowser* m_browser;
    QUrl m_page;
};

} // namespace tarvo

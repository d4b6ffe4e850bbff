#pragma once

#include <QWidget>

namespace tarvo {

// The teal caption above a list: white text, centred, framed with an etched
// edge.
class CCaptionPanel : public QWidget {
    Q_OBJECT
public:
    explicit CCaptionPanel(const QString& text, QWidget* parent = nullptr);

    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace tarvo

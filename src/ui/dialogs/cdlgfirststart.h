#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

namespace tarvo {

struct GuiContext;

// The guide of a new data folder: what to do first (covers, products and
// their packaging, the imports, the statement), with a link to the help's
// "Začínáme" and a switch that stops it for good. It is not modal: the user
// follows it step by step in the main window.
class CDlgFirstStart : public QDialog {
    Q_OBJECT
public:
    CDlgFirstStart(const GuiContext& context, QWidget* parent = nullptr);

    QLabel* Steps() const { return m_steps; }
    QCheckBox* DontShowBox() const { return m_dontShow; }

    void done(int result) override;

private:
    void ShowGettingStarted();

    const GuiContext& m_context;
    QLabel* m_steps;
    QCheckBox* m_dontShow;
};

// Opens the guide beside the frame when the database holds no records and
// the user has not switched the guide off.
void ShowFirstStartGuide(const GuiContext& context, QWidget* frame);

} // namespace tarvo

#include "ui/dialogs/reportformgroup.h"

#include "core/data/comerror.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/messageport.h"
#include "core/report/formlayout.h"
#include "core/report/formlines.h"
#include "core/report/formoffer.h"
#include "ui/framework/formbuilder.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/waitcursor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace tarvo {

namespace {
// Long enough for the next click on a spin box arrow or the next digit.
constexpr int PeriodPauseMs = 300;
} // namespace

ReportFormGroup::ReportFormGroup(const GuiContext& context, FormGrid& form, QWidget* owner)
    : QObject(owner), m_context(context), m_owner(owner) {
    m_path = new QLineEdit(owner);
    m_browseButton = new QPushButton(QStringLiteral("..."), owner);
    m_browseButton->setFixedWidth(m_browseButton->fontMetrics().horizontalAdvance("....") + 16);
    m_browseButton->setAutoDefault(false);
    m_order = new QLineEdit(owner);
    QLabel* formLabel =
        form.AddRow(QStringLiteral("Formulář výkazu &od EKO-KOM:"), m_path, m_browseButton);
    QLabel* orderLabel = form.AddRow(QStringLiteral("Čís&lo Vaší objednávky:"), m_order);
    m_rows = {formLabel, m_path, m_browseButton, orderLabel, m_order};

    m_warning = new QWidget(owner);
    auto* icon = new QLabel(m_warning);
    const int iconSize = owner->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(
        owner->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    m_leftOut = new QLabel(m_warning);
    m_leftOut->setWordWrap(true);
    m_covers = new QPushButton(QStringLiteral("Zobrazit o&baly bez zařazení"), m_warning);
    m_covers->setAutoDefault(false);
    auto* grid = new QGridLayout(m_warning);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    grid->addWidget(m_leftOut, 0, 1);
    grid->addWidget(m_covers, 1, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    form.AddAcross(m_warning);
    m_warning->hide();

    m_periodPause = new QTimer(this);
    m_periodPause->setSingleShot(true);
    m_periodPause->setInterval(PeriodPauseMs);
    connect(m_periodPause, &QTimer::timeout, this, &ReportFormGroup::Refresh);

    connect(m_browseButton, &QPushButton::clicked, this, &ReportFormGroup::Browse);
    // A field the user empties is offered a form again at the next period.
    connect(m_path, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_chosen = !text.trimmed().isEmpty(); });
    connect(m_covers, &QPushButton::clicked, this, &ReportFormGroup::ShowIncompleteCovers);
}

void ReportFormGroup::SetPeriod(int year, int quarter) {
    const bool first = m_year == 0;
    m_year = year;
    m_quarter = quarter;
    const bool current = UsesCurrentForm(year);
    if (current != m_shown) {
        m_shown = current;
        for (QWidget* widget : m_rows)
            widget->setVisible(current);
        // Coming back, the warning waits for the count of the new period.
        m_warning->hide();
    }
    if (!current)
        m_periodPause->stop();
    else if (first)
        Refresh();
    else
        m_periodPause->start();
}

void ReportFormGroup::Refresh() {
    WaitCursor wait;
    if (!m_chosen) {
        const std::optional<std::string> offered =
            OfferedFormFile(m_context.folder, m_year, m_quarter);
        m_path->setText(offered ? QDir::toNativeSeparators(QString::fromStdString(*offered))
                                : QString());
    }
    CountLeftOut();
}

void ReportFormGroup::CountLeftOut() {
    FormLeftOutSummary summary;
    try {
        summary = SummarizeLeftOut(m_context.store, m_year, m_quarter);
    } catch (const ComError& e) {
        ShowComError(m_context.messages, e);
    }
    m_warning->setVisible(summary.lines > 0);
    m_leftOut->setText(QString::fromStdString(summary.Text()));
    // Other reasons are not mended in a cover's classification; the button
    // is for the lines that are.
    m_covers->setVisible(summary.byReason.contains(FormLeftOut::NotClassified));
}

std::string ReportFormGroup::FormPath() const {
    return QDir::fromNativeSeparators(m_path->text().trimmed()).toStdString();
}

std::string ReportFormGroup::OrderNumber() const {
    return m_order->text().trimmed().toStdString();
}

bool ReportFormGroup::CheckChoice() {
    // An OK right after a change of the period checks the form offered for
    // the new period, not the one still shown for the old.
    if (m_periodPause->isActive()) {
        m_periodPause->stop();
        Refresh();
    }
    const std::string path = FormPath();
    const std::optional<std::string> refusal =
        path.empty()
            ? std::optional<std::string>("Vyberte soubor s formulářem výkazu, který vám EKO-KOM "
                                         "poslal pro toto čtvrtletí.")
            : CheckFormFile(path, m_year, m_quarter);
    if (refusal) {
        m_context.messages.ShowMessage(*refusal, MsgIcon::Exclamation);
        m_path->setFocus();
        m_path->selectAll();
        return false;
    }
    // A settings file that cannot be written costs only the remembering.
    Profile profile(m_context.folder.SettingsPath());
    StoreFormFolder(profile, QFileInfo(QString::fromStdString(path)).absolutePath().toStdString());
    return true;
}

QString ReportFormGroup::BrowseFolder() const {
    const QString typed = m_path->text().trimmed();
    const QStringList candidates = {
        typed.isEmpty() ? QString() : QFileInfo(typed).absolutePath(),
        QString::fromStdString(LoadFormFolder(Profile(m_context.folder.SettingsPath()))),
        QString::fromStdString(FormsFolder(m_context.folder)),
    };
    for (const QString& folder : candidates) {
        if (!folder.isEmpty() && QDir(folder).exists())
            return folder;
    }
    return QString::fromStdString(m_context.folder.folder);
}

QString ReportFormGroup::RunFileDialog(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Formulář výkazu od EKO-KOM"),
                                        folder, QStringLiteral("Sešity Excelu (*.xlsx)"));
}

void ReportFormGroup::Browse() {
    const QString chosen = m_browse(m_owner, BrowseFolder());
    if (chosen.isEmpty())
        return;
    m_chosen = true;
    m_path->setText(QDir::toNativeSeparators(chosen));
}

} // namespace tarvo

#include "uitestsupport.h"

#include "core/data/shared.h"
#include "core/data/statement.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <QWidget>

namespace tarvo::test {

UiDatabase::UiDatabase() {
    const std::string path = Folder() + "Tarvo.mdb";
    CDataStore::CreateEmptyDatabase(path);
    m_store = std::make_unique<CDataStore>(messages);
    m_store->SetDatabasePath(path);
    m_store->OpenDatabase();
    m_context = std::make_unique<GuiContext>(
        GuiContext{*m_store, messages, switches, DataFolder{Folder()}, notifier, {}});
}

UiDatabase::~UiDatabase() {
    m_store->CloseDatabase();
}

std::string UiDatabase::Folder() const {
    return m_dir.path().toStdString() + "/";
}

bool UiDatabase::Run(const std::string& sql) {
    return m_store->Execute(sql);
}

long long UiDatabase::Number(const std::string& sql) {
    CStatement st(*m_store, sql);
    return st.Step() ? st.Int(0) : 0;
}

std::string UiDatabase::Text(const std::string& sql) {
    CStatement st(*m_store, sql);
    return st.Step() ? st.Text(0) : std::string();
}

long long UiDatabase::AddCover(const std::string& name, long long weightScaled, int material,
                               int type, int origin, int payment, int stat) {
    Run(Format("INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, cover_org, "
               "cover_pay, cover_stat, cover_reusable, cover_note, deleted) "
               "VALUES (%s, %lld, %i, %i, %i, %i, %i, 0, '', 0)",
               SqlQuote(name).c_str(), weightScaled, material, type, origin, payment, stat));
    return m_store->LastInsertId();
}

void OnNextModal(std::function<void(QWidget*)> action) {
    // Polls until the dialog is up: exec() starts its own event loop, in
    // which the timer fires.
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

void UseCzechLocale() {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

} // namespace tarvo::test

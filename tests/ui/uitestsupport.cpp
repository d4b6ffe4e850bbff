#include "uitestsupport.h"

#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTimer>
#include <QWidget>

namespace tarvo::test {

UiDatabase::UiDatabase()
    : m_context{store, messages, switches, DataFolder{folder.Folder()}, notifier, {}} {}

long long UiDatabase::AddCover(const std::string& name, long long weightScaled, int material,
                               int type, int origin, int payment, int stat) {
    return rows::Cover(store, {.name = name,
                               .weight = Quantity::FromScaled(weightScaled),
                               .type = type,
                               .material = material,
                               .origin = origin,
                               .payment = payment,
                               .stat = stat});
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

QStringList Column(const ListModel* model, int column) {
    QStringList cells;
    for (int row = 0; row < model->Count(); ++row)
        cells << model->Cell(row, column);
    return cells;
}

void SelectRows(RecordList* list, const std::vector<int>& rows) {
    list->ClearSelectionAndFocus();
    QItemSelectionModel* selection = list->selectionModel();
    for (int row : rows)
        selection->select(list->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (!rows.empty())
        selection->setCurrentIndex(list->model()->index(rows.front(), 0),
                                   QItemSelectionModel::NoUpdate);
}

void UseCzechLocale() {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

} // namespace tarvo::test

// The table-view framework through a small view of its own: sub-pane layout
// variants (asserted as relations of the panes, not pixels), the toggle,
// context-menu variants, dependent-list selection variants, fixed-order
// lists, a single-pane view and the split bar's first place.
#include "core/data/statement.h"
#include "ui/framework/ciconbutton.h"
#include "ui/framework/commands.h"
#include "ui/framework/icons.h"
#include "ui/framework/listmodel.h"
#include "ui/framework/recordlist.h"
#include "ui/framework/tableview.h"
#include "uitestsupport.h"

#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitterHandle>
#include <QTest>
#include <QTimer>

using namespace tarvo;
using namespace tarvo::test;

namespace {

// Every list shows the covers' names, twice: the first column does not
// stretch to the list's width.
class NameRows final : public IRowSource {
public:
    explicit NameRows(CDataStore& store) : m_store(store) {}
    const std::vector<std::string>& Headers() const override { return m_headers; }
    std::vector<RowCells> Read(std::span<const RecordId> ids) override {
        std::vector<RowCells> rows;
        for (RecordId id : ids) {
            Statement st(m_store, "SELECT cover_name FROM Cover WHERE cover_id = ?");
            st.BindInt(1, id);
            rows.push_back(st.Step() ? RowCells{st.Text(0), st.Text(0)} : RowCells{});
        }
        return rows;
    }

private:
    CDataStore& m_store;
    std::vector<std::string> m_headers{"Název", "Znovu"};
};

struct Shape {
    int subPanes = 2;
    int fixedHeight = 0;
    RecordMenu mainMenu = RecordMenu::Main;
};

// A view shaped like one of the program's tables, over the covers.
class TestView final : public TableView {
public:
    TestView(const GuiContext& context, const Shape& shape) : TableView(context) {
        BuildMainPane("Hlavní", MakeList(true));
        SetPaneMenu(0, shape.mainMenu);
        if (shape.subPanes >= 1)
            AddSubPane(cmd::Add2, cmd::Edit2, cmd::Delete2, "Druhý", MakeList(false));
        if (shape.subPanes >= 2)
            AddSubPane(cmd::Add3, cmd::Edit3, cmd::Delete3, "Třetí", MakeList(false));
        SetFirstSubListHeight(shape.fixedHeight);
    }

    std::vector<SearchColumn> SearchColumns() const override { return {}; }
    int SearchColumnOf(int) const override { return -1; }
    std::string MainTable() const override { return "Cover"; }
    std::string MainIdColumn() const override { return "cover_id"; }

    // Loads a list with every cover, selecting as the framework does.
    void Fill(RecordList* list, RecordId selectId, Fallback fallback = Fallback::FirstRow) {
        FillList(
            list,
            [&] {
                return list->Model()->Load([&](IdList& ids) {
                    Statement st(Store(), "SELECT cover_id FROM Cover ORDER BY cover_id");
                    ids.Load(st);
                    return true;
                });
            },
            selectId, fallback);
    }
    using TableView::AddPaneToggle;
    using TableView::Fallback;
    using TableView::SelectedId;
    using TableView::SetPaneListShown;

    std::vector<int> commands;

protected:
    bool OnCommand(int command) override {
        commands.push_back(command);
        return true;
    }
    void LoadMainList(RecordId selectId) override { Fill(MainList(), selectId); }

private:
    RecordList* MakeList(bool multi) {
        return new RecordList(new ListModel(Messages(), std::make_unique<NameRows>(Store())), multi,
                              this);
    }
};

struct Fixture {
    UiDatabase db;
    std::unique_ptr<TestView> view;

    explicit Fixture(const Shape& shape = {}, QSize size = {900, 500}) {
        for (const char* name : {"a", "b", "c", "d"})
            db.AddCover(name, 100);
        view = std::make_unique<TestView>(db.Context(), shape);
        view->resize(size);
        view->InitialUpdate();
        view->show();
    }
    // Where a widget of the view stands, in the view's coordinates.
    QRect InView(const QWidget* widget) const {
        return QRect(widget->mapTo(view.get(), QPoint(0, 0)), widget->size());
    }
    int ButtonTop(int pane) const { return InView(view->PaneButton(pane, 0)).top(); }
    QRect ListRect(int pane) const {
        return InView(pane == 0 ? view->MainList() : view->SubList(pane));
    }
};

// The texts and enabled flags of a context menu, separators as "-".
QStringList MenuLines(RecordMenu which, const MenuState& state) {
    QMenu menu;
    FillRecordMenu(menu, which, state, [](int) {});
    QStringList lines;
    for (QAction* action : menu.actions())
        lines << (action->isSeparator()
                      ? QStringLiteral("-")
                      : action->text() + (action->isEnabled() ? QString() : QStringLiteral(" x")));
    return lines;
}

} // namespace

class TestTableView : public QObject {
    Q_OBJECT
private slots:
    void splitBarStartsAtTheShownWidth_data();
    void splitBarStartsAtTheShownWidth();
    void columnsFitTheLoadedRowsUntilSizedByHand();
    void subPaneLayouts_data();
    void subPaneLayouts();
    void singlePaneFillsTheView();
    void recordMenus_data();
    void recordMenus();
    void paneMenuVariantReachesTheView();
    void dependentListSelection_data();
    void dependentListSelection();
    void fixedOrderListTakesNoHeaderClicks();
};

void TestTableView::splitBarStartsAtTheShownWidth_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("designed window") << 960;
    QTest::newRow("wide window") << 1400;
}

void TestTableView::splitBarStartsAtTheShownWidth() {
    QFETCH(int, width);
    Fixture f({}, {width, 600});
    QCOMPARE(f.view->SplitBar()->x(), width - TableView::RightPaneWidth);
    // A wider view (a maximized window) gives the room to the main list.
    f.view->resize(width + 200, 600);
    QCOMPARE(f.view->SplitBar()->x(), width + 200 - TableView::RightPaneWidth);

    // The bar and the column widths the user left come back in the next
    // view of the same table.
    f.view->PlaceSplitBar(width - 500);
    f.view->MainList()->setColumnWidth(0, 77);
    f.view->SubList(2)->setColumnWidth(0, 33);
    f.view->hide();
    TestView again(f.db.Context(), {});
    again.resize(width, 600);
    again.InitialUpdate();
    again.show();
    QCOMPARE(again.SplitBar()->x(), width - 700);
    QCOMPARE(again.MainList()->columnWidth(0), 77);
    QCOMPARE(again.SubList(2)->columnWidth(0), 33);
}

void TestTableView::columnsFitTheLoadedRowsUntilSizedByHand() {
    Fixture f;
    RecordList* list = f.view->MainList();
    const int fitted = list->columnWidth(0);
    f.db.AddCover(std::string(60, 'W'), 100);
    f.view->Fill(list, TableView::NoId);
    QVERIFY(list->columnWidth(0) > fitted);
    list->SetColumnWidths({50, 50});
    f.view->Fill(list, TableView::NoId);
    QCOMPARE(list->columnWidth(0), 50);
}

void TestTableView::subPaneLayouts_data() {
    QTest::addColumn<int>("fixedHeight");
    QTest::addColumn<bool>("firstListShown");
    QTest::newRow("half height") << 0 << true;
    QTest::newRow("fixed first list") << 80 << true;
    QTest::newRow("first list toggled off") << 0 << false;
}

void TestTableView::subPaneLayouts() {
    QFETCH(int, fixedHeight);
    QFETCH(bool, firstListShown);
    Shape shape;
    shape.fixedHeight = fixedHeight;
    Fixture f(shape);
    int toggles = 0;
    CIconButton* toggle = f.view->AddPaneToggle(1, icons::Toggle(), [&] { ++toggles; });
    f.view->SetPaneListShown(1, firstListShown);
    const int m = TableView::Margin;
    const QRect main = f.ListRect(0);
    const QRect bar = f.InView(f.view->SplitBar());
    const QRect first = f.ListRect(1);
    const QRect second = f.ListRect(2);
    QCOMPARE(f.view->SubList(1)->isVisible(), firstListShown);
    // The panes do not overlap: the bar stands between the main list and
    // the right pane, whose second pane starts below the first.
    QVERIFY(main.right() < bar.left());
    QVERIFY(bar.right() < first.left());
    QVERIFY(first.top() > f.ButtonTop(1));
    if (firstListShown)
        QVERIFY(f.ButtonTop(2) > first.bottom());
    else
        QVERIFY(f.ButtonTop(2) > f.ButtonTop(1));
    QVERIFY(second.top() > f.ButtonTop(2));
    if (fixedHeight > 0)
        QCOMPARE(first.height(), fixedHeight);
    // The lists fill the view down to its margin, and the right pane to the
    // right margin.
    QCOMPARE(main.left(), m);
    QCOMPARE(main.bottom() + 1, f.view->height() - m);
    QCOMPARE(second.bottom() + 1, f.view->height() - m);
    QCOMPARE(second.right() + 1, f.view->width() - m);
    QCOMPARE(second.left(), first.left());
    // The toggle stands at the right end of the first sub-pane's row.
    QCOMPARE(f.InView(toggle).right(), second.right());
    QCOMPARE(f.InView(toggle).top(), f.ButtonTop(1));
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggles, 1);
}

void TestTableView::singlePaneFillsTheView() {
    Shape shape;
    shape.subPanes = 0;
    Fixture f(shape);
    QVERIFY(!f.view->SplitBar());
    const QRect list = f.ListRect(0);
    QCOMPARE(list.left(), TableView::Margin);
    QCOMPARE(list.right() + 1, f.view->width() - TableView::Margin);
    QCOMPARE(list.bottom() + 1, f.view->height() - TableView::Margin);
}

void TestTableView::recordMenus_data() {
    QTest::addColumn<int>("menu");
    QTest::addColumn<bool>("onRow");
    QTest::addColumn<bool>("canAdd");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("recMain on a row") << int(RecordMenu::Main) << true << true
                                      << QStringList{"&Přidat\tIns",
                                                     "&Upravit\tEnter",
                                                     "&Odstranit\tDel",
                                                     "-",
                                                     "&Najít...\tCtrl+F",
                                                     "Na&hradit...\tCtrl+H",
                                                     "-",
                                                     "Fil&tr...\tCtrl+T"};
    QTest::newRow("recProd off the rows") << int(RecordMenu::Products) << false << true
                                          << QStringList{"&Přidat\tIns",
                                                         "&Upravit\tEnter x",
                                                         "&Odstranit\tDel x",
                                                         "O&bnovit x",
                                                         "-",
                                                         "Hromadně přiř&adit obaly x",
                                                         "-",
                                                         "&Najít...\tCtrl+F",
                                                         "Na&hradit...\tCtrl+H",
                                                         "-",
                                                         "Fil&tr...\tCtrl+T"};
    QTest::newRow("rec2 without a parent row")
        << int(RecordMenu::Second) << true << false
        << QStringList{"&Přidat\tCtrl+Ins x", "&Upravit\tCtrl+Enter", "&Odstranit\tCtrl+Del"};
    QTest::newRow("rec3 off the rows")
        << int(RecordMenu::Third) << false << true
        << QStringList{"&Přidat\tAlt+Ins", "&Upravit\tAlt+Enter x", "&Odstranit\tAlt+Del x"};
    QTest::newRow("rec1 in a dialog") << int(RecordMenu::InDialog) << true << true
                                      << QStringList{"&Přidat\tIns", "&Upravit", "&Odstranit\tDel"};
}

void TestTableView::recordMenus() {
    QFETCH(int, menu);
    QFETCH(bool, onRow);
    QFETCH(bool, canAdd);
    QFETCH(QStringList, lines);
    QCOMPARE(MenuLines(static_cast<RecordMenu>(menu), MenuState{onRow, canAdd}), lines);
}

void TestTableView::paneMenuVariantReachesTheView() {
    Shape shape;
    shape.mainMenu = RecordMenu::Products;
    Fixture f(shape);
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (action->text() == QString("Hromadně přiř&adit obaly"))
                action->trigger();
        }
        menu->close();
    });
    RecordList* list = f.view->MainList();
    const QPoint onRow(5, list->rowViewportPosition(0) + 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, onRow, list->viewport()->mapToGlobal(onRow));
    QApplication::sendEvent(list->viewport(), &event);
    QCOMPARE(f.view->commands, std::vector<int>{cmd::AssignCovers});
    // The view's menu shows the command actions; the text after the tab is
    // the shortcut the menu shows, the short names and not Qt's.
    QCOMPARE(texts, (QStringList{"&Přidat\tIns", "&Upravit\tEnter", "&Odstranit\tDel", "O&bnovit",
                                 "-", "Hromadně přiř&adit obaly", "-", "&Najít...\tCtrl+F",
                                 "Na&hradit...\tCtrl+H", "-", "Fil&tr...\tCtrl+T"}));
}

void TestTableView::dependentListSelection_data() {
    QTest::addColumn<int>("selectedBefore");
    QTest::addColumn<bool>("keepPrevious");
    QTest::addColumn<bool>("lastRow");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("first row") << 2 << false << false << 0;
    QTest::newRow("last row") << 1 << false << true << 3;
    QTest::newRow("previous row kept") << 2 << true << false << 2;
    QTest::newRow("previous row gone: last") << -1 << true << true << 3;
}

void TestTableView::dependentListSelection() {
    QFETCH(int, selectedBefore);
    QFETCH(bool, keepPrevious);
    QFETCH(bool, lastRow);
    QFETCH(int, selectedAfter);
    Fixture f;
    RecordList* list = f.view->SubList(1);
    f.view->Fill(list, TableView::NoId);
    if (selectedBefore >= 0)
        list->SelectRow(selectedBefore);
    else
        list->ClearSelectionAndFocus();
    const RecordId previous = keepPrevious ? TestView::SelectedId(list) : TableView::NoId;
    f.view->Fill(list, previous,
                 lastRow ? TestView::Fallback::LastRow : TestView::Fallback::FirstRow);
    QCOMPARE(list->SelectedRows(), std::vector<int>{selectedAfter});
    QCOMPARE(list->FocusedRow(), selectedAfter);
}

void TestTableView::fixedOrderListTakesNoHeaderClicks() {
    Fixture f;
    RecordList* list = f.view->SubList(1);
    list->SetSortable(false);
    QSignalSpy clicked(list, &RecordList::headerClicked);
    QHeaderView* header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!header->isSortIndicatorShown());
    QVERIFY(!header->sectionsMovable());
}

QTEST_MAIN(TestTableView)
#include "test_tableview.moc"

// The pieces the views are built from: the row cache, the lazy list model,
// locale numbers and the progress window.
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "support/cprogresswnd.h"
#include "ui/framework/clistmodel.h"
#include "core/data/czechsortkey.h"
#include "ui/framework/localenumber.h"
#include "core/data/rowcache.h"
#include "uitestsupport.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace tarvo;
using namespace tarvo::test;

class TestFramework : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseCzechLocale(); }

    void rowCacheDropsLeastRecentChunk();
    void rowCacheInvalidatesOneRow();
    void listModelReadsOnlyShownChunks();
    void listModelShowsVanishedRowEmpty();
    void sortedLoadMatchesDatabaseOrder_data();
    void sortedLoadMatchesDatabaseOrder();
    void czechKeysOrderAsCollation_data();
    void czechKeysOrderAsCollation();
    void localeNumbers_data();
    void localeNumbers();
    void progressWithoutCancel();
    void progressCancelReadOnce();
    void progressOwnerEnabledAgain();
    void progressLeavesDisabledOwnerDisabled();
};

void TestFramework::rowCacheDropsLeastRecentChunk() {
    RowCache<int> cache(10, 2);
    cache.Store(0, std::vector<int>(10, 1));
    cache.Store(1, std::vector<int>(10, 2));
    QVERIFY(cache.Find(3)); // chunk 0 is now the most recent
    cache.Store(2, std::vector<int>(5, 3));
    QCOMPARE(cache.ChunkCount(), 2);
    QVERIFY(cache.Find(3));
    QVERIFY(!cache.Find(13));
    QCOMPARE(*cache.Find(24), 3);
    QVERIFY(!cache.Find(25)); // past the short last chunk
}

void TestFramework::rowCacheInvalidatesOneRow() {
    RowCache<int> cache(4, 4);
    cache.Store(0, {1, 2, 3, 4});
    cache.Invalidate(2);
    QVERIFY(!cache.Find(2));
    QCOMPARE(*cache.Find(3), 4);
    cache.Store(0, {1, 2, 30, 4});
    QCOMPARE(*cache.Find(2), 30);
}

void TestFramework::listModelReadsOnlyShownChunks() {
    UiDatabase db;
    db.Run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
           "INSERT INTO Cover (cover_name, deleted) SELECT printf('c%05d', i), 0 FROM n");
    int reads = 0;
    CListModel model({"Název"}, "SELECT cover_id, cover_name FROM Cover WHERE cover_id IN (%s)",
                     [&reads](const CStatement& st) {
                         ++reads;
                         return QStringList{QString::fromStdString(st.Text(1))};
                     });
    QVERIFY(model.Load(db.Store(), "SELECT cover_id FROM Cover ORDER BY cover_name DESC"));
    QCOMPARE(model.rowCount(), 5000);
    QCOMPARE(reads, 0);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("c05000"));
    QCOMPARE(model.data(model.index(4999, 0)).toString(), QString("c00001"));
    QCOMPARE(reads, 128 + 8); // the first chunk and the short last one
    model.data(model.index(1, 0));
    QCOMPARE(reads, 136);
}

void TestFramework::listModelShowsVanishedRowEmpty() {
    UiDatabase db;
    db.AddCover("a", 1);
    db.AddCover("b", 1);
    CListModel model(
        {"Název"}, "SELECT cover_id, cover_name FROM Cover WHERE cover_id IN (%s)",
        [](const CStatement& st) { return QStringList{QString::fromStdString(st.Text(1))}; });
    model.Load(db.Store(), "SELECT cover_id FROM Cover ORDER BY cover_id");
    db.Run("DELETE FROM Cover WHERE cover_name = 'a'");
    QCOMPARE(model.Cell(0, 0), QString());
    QCOMPARE(model.Cell(1, 0), QString("b"));
    QCOMPARE(model.RowOf(2), 1);
    model.RemoveRow(0);
    QCOMPARE(model.Count(), 1);
    QCOMPARE(model.Cell(0, 0), QString("b"));
}

void TestFramework::czechKeysOrderAsCollation_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("ch after h") << "chata"
                                << "hrad";
    QTest::newRow("č after c") << "čep"
                               << "cena";
    QTest::newRow("case") << "abc"
                          << "ABC";
    QTest::newRow("prefix") << "Etiketa"
                            << "Etiketa papír";
    QTest::newRow("numbers") << "Etiketa 117583"
                             << "Etiketa 117595";
    QTest::newRow("accent only") << "hrábě"
                                 << "hrabe";
    QTest::newRow("equal") << "Obal"
                           << "Obal";
    QTest::newRow("empty") << ""
                           << "a";
}

void TestFramework::czechKeysOrderAsCollation() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    const std::string textA = a.toStdString();
    const std::string textB = b.toStdString();
    std::string keyA;
    std::string keyB;
    AppendCzechSortKey(textA, keyA);
    AppendCzechSortKey(textB, keyB);
    const int byKey = keyA < keyB ? -1 : (keyA == keyB ? 0 : 1);
    QCOMPARE(byKey, CzechCompare(textA, textB));
    QCOMPARE(-byKey, CzechCompare(textB, textA));
}

void TestFramework::sortedLoadMatchesDatabaseOrder_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("descending");
    QTest::newRow("names") << "cover_name" << false;
    QTest::newRow("names descending") << "cover_name" << true;
    QTest::newRow("weights with ties") << "cover_weight" << false;
    QTest::newRow("weights descending") << "cover_weight" << true;
}

void TestFramework::sortedLoadMatchesDatabaseOrder() {
    QFETCH(QString, column);
    QFETCH(bool, descending);
    UiDatabase db;
    // More rows than the head ordered at once, Czech letters, empty names and
    // many equal weights.
    db.Run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
           "INSERT INTO Cover (cover_name, cover_weight, deleted) "
           "SELECT CASE WHEN i % 97 = 0 THEN NULL ELSE "
           "substr('cčhchCzžZ', 1 + (i * 7) % 9, 2) || printf('%04d', (i * 7919) % 3001) END, "
           "(i * 13) % 50, 0 FROM n");
    const std::string name = column.toStdString();
    CListModel model(
        {"Název"}, "SELECT cover_id, cover_name FROM Cover WHERE cover_id IN (%s)",
        [](const CStatement& st) { return QStringList{QString::fromStdString(st.Text(1))}; });
    QVERIFY(model.LoadSorted(db.Store(), "SELECT cover_id, " + name + " FROM Cover",
                             name == "cover_name" ? CListModel::SortValue::CzechText
                                                  : CListModel::SortValue::Number,
                             descending));
    QCOMPARE(model.Count(), 3000);
    // Row 0 is shown before the rest is ordered; then the whole list.
    const int64_t first = model.Id(0);
    // The database's Czech order, equal values by identifier (the query's
    // order) in both directions.
    CStatement st(db.Store(), "SELECT cover_id FROM Cover ORDER BY " + name +
                                  (descending ? " DESC" : "") + ", cover_id");
    std::vector<int64_t> expected;
    while (st.Step())
        expected.push_back(st.Int(0));
    QCOMPARE(first, expected.front());
    QVERIFY(model.Ids() == expected);
    QCOMPARE(model.RowOf(expected.back()), 2999);
}

void TestFramework::localeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qlonglong>("scaled");
    QTest::addColumn<QString>("shown");

    QTest::newRow("decimal comma") << "0,5" << true << 5000LL << "0,5";
    QTest::newRow("point accepted") << "0.25" << true << 2500LL << "0,25";
    QTest::newRow("group with blank") << "1 234,5" << true << 12345000LL << "1234,5";
    QTest::newRow("negative") << "-3,1" << true << -31000LL << "-3,1";
    QTest::newRow("four decimals") << "0,0001" << true << 1LL << "0,0001";
    QTest::newRow("text") << "abc" << false << 0LL << "";
    QTest::newRow("empty") << "" << false << 0LL << "";
}

void TestFramework::localeNumbers() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qlonglong, scaled);
    QFETCH(QString, shown);
    const std::optional<Quantity> q = QuantityFromLocaleText(text);
    QCOMPARE(q.has_value(), valid);
    if (valid) {
        QCOMPARE(q->Scaled(), scaled);
        QCOMPARE(QuantityToLocaleText(*q), shown);
    }
}

void TestFramework::progressWithoutCancel() {
    CProgressWnd progress("Sestavení výkazu", false);
    QVERIFY(progress.Create(nullptr));
    QVERIFY(!progress.CancelButton()->isVisible());
    QCOMPARE(progress.windowTitle(), QString("Sestavení výkazu"));
    progress.CancelButton()->click();
    QVERIFY(!progress.CheckCancel());
    progress.SetRange(0, 50);
    progress.SetSecondaryStatus("1 z 50");
    progress.SetStatus("Hledám");
    QCOMPARE(progress.SecondaryStatus(), QString());
    progress.SetPos(20);
    QCOMPARE(progress.Bar()->value(), 20);
    QCOMPARE(progress.Bar()->maximum(), 50);
}

void TestFramework::progressCancelReadOnce() {
    CProgressWnd progress("Import dat z Money S3", true);
    progress.Create(nullptr);
    QVERIFY(progress.CancelButton()->isVisible());
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
    QVERIFY(progress.CheckCancel());
    QVERIFY(!progress.CheckCancel());
}

void TestFramework::progressOwnerEnabledAgain() {
    QWidget owner;
    QWidget child(&owner);
    owner.show();
    {
        CProgressWnd progress("Úprava vydaných obalů", true);
        QVERIFY(progress.Create(&child));
        QVERIFY(!owner.isEnabled());
        QVERIFY(progress.isEnabled());
    }
    QVERIFY(owner.isEnabled());
}

void TestFramework::progressLeavesDisabledOwnerDisabled() {
    QWidget owner;
    owner.show();
    owner.setEnabled(false);
    CProgressWnd progress("Import dat z WAK INTRA", true);
    progress.Create(&owner);
    progress.Destroy();
    QVERIFY(!owner.isEnabled());
}

QTEST_MAIN(TestFramework)
#include "test_framework.moc"

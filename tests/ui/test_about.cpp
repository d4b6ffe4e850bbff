// The about box: the version text, the feedback mail's address with its
// Czech subject encoded for the mail program, and a clear message when the
// desktop has no mail program (through the box's seam for opening addresses).
#include "recordingports.h"
#include "support/aboutbox.h"

#include <QLabel>
#include <QUrlQuery>
#include <QtTest>

using namespace tarvo;
using tarvo::test::RecordingMessages;
using tarvo::test::ShownMessage;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void versionText_data();
    void versionText();
    void feedbackMailUrl_data();
    void feedbackMailUrl();
    void links_data();
    void links();
};

void TestAbout::versionText_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("release") << "6.0.2"
                             << "Jul  2 2012"
                             << "Tarvo, verze 6.0.2  (rel. 2. 7. 2012)";
    // Without a version three blanks stand between "verze" and the parenthesis.
    QTest::newRow("no version") << ""
                                << "Jul  2 2012"
                                << "Tarvo, verze   (rel. 2. 7. 2012)";
    QTest::newRow("two-digit day") << "1.0.0"
                                   << "Dec 16 2026"
                                   << "Tarvo, verze 1.0.0  (rel. 16. 12. 2026)";
}

void TestAbout::versionText() {
    QFETCH(QString, version);
    QFETCH(QString, date);
    QFETCH(QString, text);
    QCOMPARE(VersionText(version, date), text);
}

void TestAbout::feedbackMailUrl_data() {
    QTest::addColumn<QString>("versionText");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("version text")
        << "Tarvo, verze 1.0.0  (rel. Dec  6 2026)"
        << QByteArray("mailto:tarvo@kolmara.cz?subject=P%C5%99ipom%C3%ADnka%20k%20programu%20%22"
                      "Tarvo%2C%20verze%201.0.0%20%20%28rel.%20Dec%20%206%202026%29%22");
    // Characters that mean something in a URL stay inside the subject.
    QTest::newRow("ampersand, hash, plus, equals")
        << "a&b #1 + c=d"
        << QByteArray("mailto:tarvo@kolmara.cz?subject=P%C5%99ipom%C3%ADnka%20k%20programu%20%22"
                      "a%26b%20%231%20%2B%20c%3Dd%22");
}

void TestAbout::feedbackMailUrl() {
    QFETCH(QString, versionText);
    QFETCH(QByteArray, encoded);
    const QUrl url = FeedbackMailUrl(QStringLiteral("tarvo@kolmara.cz"), versionText);
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(), encoded);
    // What the mail program reads back.
    QCOMPARE(url.path(), QStringLiteral("tarvo@kolmara.cz"));
    QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Připomínka k programu \"%1\"").arg(versionText));
}

void TestAbout::links_data() {
    QTest::addColumn<bool>("mail");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("message");
    const QString mailUrl =
        FeedbackMailUrl(QString::fromUtf8(contact::Mail), ProgramVersionText()).toString();
    QTest::newRow("mail opened") << true << true << mailUrl << "";
    QTest::newRow("no mail program")
        << true << false << mailUrl
        << "Nepodařilo se spustit poštovní program pro psaní připomínky.\n"
           "Napište nám prosím na adresu tarvo@kolmara.cz.";
    QTest::newRow("web opened") << false << true << QString::fromUtf8(contact::Web) << "";
    QTest::newRow("no browser") << false << false << QString::fromUtf8(contact::Web)
                                << "Nepodařilo se otevřít webovou stránku "
                                   "https://www.kolmara.cz/tarvo v prohlížeči.";
}

void TestAbout::links() {
    QFETCH(bool, mail);
    QFETCH(bool, opened);
    QFETCH(QString, url);
    QFETCH(QString, message);
    RecordingMessages messages;
    AboutBox box(messages);
    QCOMPARE(box.windowTitle(), QStringLiteral("O aplikaci Tarvo"));
    QCOMPARE(box.VersionLabel()->text(), ProgramVersionText());
    QStringList asked;
    box.openUrl = [&](const QUrl& target) {
        asked << target.toString();
        return opened;
    };
    // The link labels carry their own link; a click activates it.
    QLabel* label = mail ? box.MailLabel() : box.WebLabel();
    emit label->linkActivated(QStringLiteral("x"));
    QCOMPARE(asked, QStringList{url});
    std::vector<ShownMessage> expected;
    if (!message.isEmpty())
        expected.push_back({message.toStdString(), MsgIcon::Exclamation});
    QCOMPARE(messages.shown == expected, true);
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"

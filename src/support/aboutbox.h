#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;

namespace tarvo {

class IMessagePort;

// The maker's contact data shown in the about box; the e-mail address
// receives the feedback mail.
namespace contact {
inline constexpr const char* Company = "Kolmara s.r.o.";
inline constexpr const char* Address = "Palackého 12, 602 00 Brno";
inline constexpr const char* Phone = "tel.: +420 541 000 000, fax: +420 541 000 001";
inline constexpr const char* Mail = "tarvo@kolmara.cz";
inline constexpr const char* Web = "https://www.kolmara.cz/tarvo";
} // namespace contact

// "Tarvo, verze 1.0.0  (rel. 6. 12. 2026)": the program's version and the day
// it was built (given as the compiler's "Dec  6 2026"); an empty version
// leaves its place empty.
QString VersionText(const QString& version, const QString& buildDate);
// The version text of this build.
QString ProgramVersionText();
// The feedback mail: the address as recipient, the subject
// Připomínka k programu "<version text>", nothing else.
QUrl FeedbackMailUrl(const QString& address, const QString& versionText);

// "O aplikaci Tarvo": the version, the maker and two links, one opening the
// maker's web page and one writing a feedback mail in the desktop's mail
// program.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(IMessagePort& messages, QWidget* parent = nullptr);

    // Opens an address on the desktop; tests replace it.
    std::function<bool(const QUrl&)> openUrl;

    void SendFeedback();
    void OpenWeb();

    QLabel* VersionLabel() const { return m_version; }
    QLabel* MailLabel() const { return m_mail; }
    QLabel* WebLabel() const { return m_web; }

private:
    IMessagePort& m_messages;
    QLabel* m_version;
    QLabel* m_mail;
    QLabel* m_web;
};

} // namespace tarvo

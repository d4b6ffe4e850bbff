#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tarvo {

// Lets one instance of the program run per user. The first instance listens
// on a local socket named after the instance name; a later one connects,
// asks the first to raise its window and learns that it must end.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static QString DefaultName();

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first instance (it now owns the name);
    // false when another one runs and has been asked to come to the front.
    bool Acquire();
    bool IsOwner() const { return m_server != nullptr; }

signals:
    // Another start of the program asked this instance to show itself.
    void raiseRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace tarvo

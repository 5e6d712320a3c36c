#pragma once
// One running player per user: a later launch hands its files to the running
// one through a local socket in the user's runtime folder and exits. A socket
// left behind by a crashed player is cleared; two launches at the same moment
// end with one player (the election runs under a lock file).
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace gx {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString defaultSocketPath();
    // Whether a player answers at the path, asked with a bare connect and
    // no event machinery, so that it works before the application exists.
    static bool playerRunsAt(const QString& socketPath);

    // Hands the files to a running player; answers false when there is none,
    // and this process then listens as the running player.
    bool forwardOrListen(const QStringList& files);
    bool isListening() const;

signals:
    void filesReceived(const QStringList& files);

private:
    bool forward(const QStringList& files);
    void acceptConnection();

    QString socketPath_;
    QLocalServer* server_ = nullptr;
};

} // namespace gx

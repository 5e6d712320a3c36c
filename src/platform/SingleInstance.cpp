#include "platform/SingleInstance.h"

#include "platform/Logging.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace gx {

namespace {
constexpr int kConnectMs = 1000;
constexpr int kReplyMs = 5000;
constexpr char kAck = 'k';
} // namespace

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent)
    , socketPath_(socketPath)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + "/gramolux.socket";
}

bool SingleInstance::playerRunsAt(const QString& socketPath)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address {};
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answered;
}

bool SingleInstance::isListening() const
{
    return server_ && server_->isListening();
}

bool SingleInstance::forward(const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << files;
    socket.write(message);
    if (!socket.waitForBytesWritten(kReplyMs))
        return false;
    // The running player answers once it has the whole list.
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(kReplyMs))
            return false;
    return socket.read(1) == QByteArray(1, kAck);
}

bool SingleInstance::forwardOrListen(const QStringList& files)
{
    QLockFile election(socketPath_ + ".lock");
    election.setStaleLockTime(10000);
    if (!election.tryLock(10000))
        return forward(files); // someone else holds the election for long: try them
    if (forward(files))
        return true;
    // Nobody answers: whatever is at the path is a leftover.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (!server_->listen(socketPath_))
        qCWarning(logPlatform).noquote() << "Cannot listen on" << socketPath_
                                         << "for files handed over:" << server_->errorString();
    return false;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QStringList files;
            in >> files;
            if (!in.commitTransaction())
                return; // wait for the rest of the list
            socket->write(QByteArray(1, kAck));
            socket->flush();
            emit filesReceived(files);
        });
    }
}

} // namespace gx

#include "platform/ui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/HandOffRecord.h"

namespace {

// A folder that is ours and that nobody else may write into: anything else
// would let another user plant the lock or the socket.
bool OwnFolder(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Opens a lock file of ours. O_NONBLOCK: a FIFO planted under the name would
// otherwise block the open; O_NOFOLLOW: no link leads elsewhere.
int OpenLockFile(const QString& fileName, bool create)
{
    const int flags = (create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    const int fd = ::open(QFile::encodeName(fileName).constData(), flags, 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

constexpr char Answer = 1;

} // namespace

namespace SingleInstance {

QString RuntimeFolder()
{
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && OwnFolder(xdg)) {
        QString folder = QFile::decodeName(xdg);
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        return folder;
    }
    const QByteArray own = "/tmp/zorvin-" + QByteArray::number(::geteuid());
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    if (!OwnFolder(own))
        return {};
    return QFile::decodeName(own) + QLatin1Char('/');
}

TSendResult SendHandOff(const QString& folder, const QString& path, int timeoutMs)
{
    if (folder.isEmpty())
        return TSendResult::NoViewer;
    QLocalSocket socket;
    socket.connectToServer(folder + QLatin1String(ServerName));
    if (!socket.waitForConnected(timeoutMs))
        return TSendResult::NoViewer;

    const QDeadlineTimer deadline(timeoutMs);
    socket.write(HandOffRecord::Encode(path));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return TSendResult::NoAnswer;
    }
    while (socket.bytesAvailable() < 1) {
        if (socket.state() != QLocalSocket::ConnectedState
            || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return socket.bytesAvailable() > 0 ? TSendResult::Delivered : TSendResult::NoAnswer;
    }
    return TSendResult::Delivered;
}

void BringToFront(QWidget* window)
{
    // Leaving the minimised state restores the window as it was before
    // (normal, maximised or full screen).
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace SingleInstance

TInstanceMutex::TInstanceMutex(const QString& folder)
{
    if (!folder.isEmpty())
        FFileName = folder + QLatin1String(SingleInstance::MutexName);
}

TInstanceMutex::~TInstanceMutex()
{
    if (FFd >= 0)
        ::close(FFd);  // drops the lock; the file stays for the next viewer
}

bool TInstanceMutex::Exists() const
{
    if (FFileName.isEmpty())
        return false;
    const int fd = OpenLockFile(FFileName, false);
    if (fd < 0)
        return false;  // no file: no viewer has ever run here
    // Viewers hold shared locks; the exclusive one is refused while any does.
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool TInstanceMutex::Create()
{
    if (FFd >= 0)
        return true;
    if (FFileName.isEmpty())
        return false;
    const int fd = OpenLockFile(FFileName, true);
    if (fd < 0)
        return false;
    // Another start may hold the exclusive lock for the moment of its test;
    // a few tries outlast it, while a process that keeps it for good cannot
    // keep this viewer from starting.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
            FFd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        ::usleep(2000);
    }
    ::close(fd);
    return false;
}

THandOffServer::THandOffServer(const QString& folder, THandler handler, QObject* parent)
    : QObject(parent)
    , FFolder(folder)
    , FHandler(std::move(handler))
{
}

THandOffServer::~THandOffServer()
{
    if (FServer)
        FServer->close();  // removes the socket file
    if (FLockFd >= 0)
        ::close(FLockFd);
}

bool THandOffServer::Listening() const
{
    return FServer && FServer->isListening();
}

bool THandOffServer::Listen()
{
    if (Listening())
        return true;
    if (FFolder.isEmpty())
        return false;
    // One viewer serves at a time: the one holding the server lock. A socket
    // file without a holder was left by a viewer that died and is replaced.
    const int fd = OpenLockFile(FFolder + QLatin1String(SingleInstance::ServerName) + QLatin1String(".lock"), true);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    const QString name = FFolder + QLatin1String(SingleInstance::ServerName);
    QLocalServer::removeServer(name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        delete server;
        ::close(fd);
        return false;
    }
    FServer = server;
    FLockFd = fd;
    connect(FServer, &QLocalServer::newConnection, this, &THandOffServer::Accept);
    return true;
}

void THandOffServer::Accept()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        auto* timer = new QTimer(socket);
        timer->setObjectName(QStringLiteral("recordTimer"));
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        timer->start(RecordTimeoutMs);
        ReadFrom(socket);
    }
}

void THandOffServer::ReadFrom(QLocalSocket* socket)
{
    if (socket->property("handled").toBool())
        return;  // one record per connection; anything after it is ignored
    const qint64 available = std::min<qint64>(socket->bytesAvailable(),
        HandOffRecord::HeaderSize + qint64(HandOffRecord::MaxDataSize));
    const HandOffRecord::TDecoded record = HandOffRecord::Decode(socket->peek(available));
    if (record.Status == HandOffRecord::TStatus::Incomplete)
        return;
    if (record.Status == HandOffRecord::TStatus::Invalid) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->setProperty("handled", true);
    socket->skip(record.Needed);
    if (auto* timer = socket->findChild<QTimer*>(QStringLiteral("recordTimer")))
        timer->stop();

    // The handler may run a nested event loop (a message box); the sender
    // may give up meanwhile and its socket go away.
    QPointer<QLocalSocket> guard(socket);
    try {
        FHandler(record.Path);
    } catch (...) {
        // A path that could not be opened is still answered: the sender
        // waits for the viewer, not for success.
    }
    if (guard && guard->state() == QLocalSocket::ConnectedState) {
        guard->write(&Answer, 1);
        guard->disconnectFromServer();
    }
}

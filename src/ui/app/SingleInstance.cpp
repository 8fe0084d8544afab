#include "ui/app/SingleInstance.h"

#include "core/base/InstanceMessage.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace wend {

namespace {

constexpr char kSocketName[] = "wend.socket";
constexpr char kLockName[] = "wend.lock";
// Bounds on waiting for another process. The running one answers as soon as it has read the
// request, before it opens anything, but it may be busy reading a large file.
constexpr int kLockTimeoutMs = 10000;
constexpr int kAnswerTimeoutSeconds = 30;
constexpr int kRequestTimeoutMs = 10000;
constexpr char kAcknowledgement = '1';

void warn(const QString& text) {
    std::fprintf(stderr, "wend: %s\n", text.toLocal8Bit().constData());
}

// The folder when it belongs to this user and is closed to everyone else; empty otherwise.
QString privateFolder(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != geteuid() || (status.st_mode & 077) != 0) {
        warn(QStringLiteral("not sharing windows between starts: the runtime folder \"%1\" is "
                            "not private to this user")
                 .arg(path));
        return QString();
    }
    return path;
}

enum class SocketFile { Absent, Ours, Foreign };

// Looks at the name itself, never through a link.
SocketFile socketFile(const QByteArray& path) {
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0)
        return errno == ENOENT ? SocketFile::Absent : SocketFile::Foreign;
    return S_ISSOCK(status.st_mode) && status.st_uid == geteuid() ? SocketFile::Ours
                                                                  : SocketFile::Foreign;
}

bool peerIsThisUser(int descriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return descriptor >= 0 &&
           ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == geteuid();
}

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

enum class Handover { Delivered, NoListener, Refused, NoAnswer };

// Plain sockets: this runs before any application object exists.
Handover handOver(const QByteArray& socketPath, const std::string& message) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(socketPath.size()) >= sizeof address.sun_path)
        return Handover::Refused;
    std::memcpy(address.sun_path, socketPath.constData(),
                static_cast<std::size_t>(socketPath.size()));

    const Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0)
        return Handover::Refused;
    if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errno == ECONNREFUSED || errno == ENOENT ? Handover::NoListener : Handover::Refused;
    if (!peerIsThisUser(socket.fd))
        return Handover::Refused;

    const timeval timeout{kAnswerTimeoutSeconds, 0};
    ::setsockopt(socket.fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    ::setsockopt(socket.fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    for (std::size_t sent = 0; sent < message.size();) {
        const ssize_t n =
            ::send(socket.fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Handover::NoAnswer;
        sent += static_cast<std::size_t>(n);
    }
    char answer = 0;
    ssize_t n = 0;
    do {
        n = ::recv(socket.fd, &answer, 1, 0);
    } while (n < 0 && errno == EINTR);
    return n == 1 && answer == kAcknowledgement ? Handover::Delivered : Handover::NoAnswer;
}

} // namespace

SingleInstance::SingleInstance(const QString& runtimeFolder) : m_folder(runtimeFolder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const {
    return m_folder + QLatin1Char('/') + QLatin1String(kSocketName);
}

QStringList SingleInstance::absolutePaths(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments) {
        const QString path =
            argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument;
        if (!path.isEmpty())
            paths << QFileInfo(path).absoluteFilePath();
    }
    return paths;
}

SingleInstance::Role SingleInstance::claim(const QStringList& paths) {
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    m_folder = privateFolder(m_folder);
    if (m_folder.isEmpty())
        return Role::Alone;

    m_startLock =
        std::make_unique<QLockFile>(m_folder + QLatin1Char('/') + QLatin1String(kLockName));
    if (!m_startLock->tryLock(kLockTimeoutMs)) {
        warn(QStringLiteral("not sharing windows between starts: another start holds \"%1\"")
                 .arg(m_startLock->fileName()));
        m_startLock.reset();
        return Role::Alone;
    }

    const QByteArray path = QFile::encodeName(socketPath());
    Handover handover = Handover::NoListener;
    switch (socketFile(path)) {
    case SocketFile::Absent:
        return Role::Primary;
    case SocketFile::Foreign:
        handover = Handover::Refused;
        break;
    case SocketFile::Ours: {
        std::vector<std::string> message;
        for (const QString& file : paths)
            message.push_back(QFile::encodeName(file).toStdString());
        handover = handOver(path, InstanceMessage::encode(message));
        break;
    }
    }
    switch (handover) {
    case Handover::Delivered:
        m_startLock.reset();
        return Role::HandedOver;
    case Handover::NoListener:
        // Left behind by a process that ended without closing it.
        ::unlink(path.constData());
        return Role::Primary;
    case Handover::Refused:
        warn(QStringLiteral("not sharing windows between starts: \"%1\" is not a socket of this "
                            "user's editor")
                 .arg(socketPath()));
        break;
    case Handover::NoAnswer:
        warn(QStringLiteral("the running editor did not answer; opening the files here"));
        break;
    }
    m_startLock.reset();
    return Role::Alone;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    const bool listening = m_server->listen(socketPath());
    if (!listening)
        warn(
            QStringLiteral("cannot take files from later starts: %1").arg(m_server->errorString()));
    m_startLock.reset();
    return listening;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!peerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        serve(socket);
    }
}

void SingleInstance::serve(QLocalSocket* socket) {
    auto message = std::make_shared<InstanceMessage>();
    // A peer that never finishes its request does not keep a connection open.
    QTimer::singleShot(kRequestTimeoutMs, socket, &QLocalSocket::abort);
    const auto read = [this, socket, message] {
        const QByteArray bytes = socket->readAll();
        switch (message->append(std::string_view(bytes.constData(), bytes.size()))) {
        case InstanceMessage::State::Incomplete:
            return;
        case InstanceMessage::State::Malformed:
            socket->abort();
            return;
        case InstanceMessage::State::Complete:
            break;
        }
        // A start that gave up waiting has closed its end and opens the files itself.
        socket->write(&kAcknowledgement, 1);
        const bool answered = socket->flush();
        socket->disconnectFromServer();
        if (!answered)
            return;
        QStringList paths;
        for (const std::string& path : message->paths())
            paths << QFile::decodeName(QByteArray::fromStdString(path));
        // Opening may ask the user something; the request's own handling ends first.
        QMetaObject::invokeMethod(
            this, [this, paths] { emit openRequested(paths); }, Qt::QueuedConnection);
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    if (socket->bytesAvailable() > 0)
        read();
}

} // namespace wend

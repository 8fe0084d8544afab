#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace wend {

// One running editor per user: a later start hands its files to the running process and ends.
// The two meet on a local socket in the user's runtime folder. That folder must belong to the
// user and be closed to everyone else; a socket there must be the user's own, and the process
// at its other end must run as the same user: otherwise nothing is sent and nothing is
// accepted, and the new process simply runs on its own.
//
// claim() works before the application object exists (a start that hands over never builds
// one). A lock file keeps two starts at the same moment from both becoming the running one;
// the first keeps it until listen().
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        // No one else runs: this process opens its files and then listens.
        Primary,
        // The running process took the files; this one ends.
        HandedOver,
        // This process runs on its own and does not listen (an unsafe folder or socket, or a
        // running process that did not answer).
        Alone,
    };

    // `runtimeFolder` empty: the user's runtime folder (XDG_RUNTIME_DIR).
    explicit SingleInstance(const QString& runtimeFolder = QString());
    ~SingleInstance() override;

    // Hands `paths` (absolute) to the running process, or takes the lead. Messages about unsafe
    // folders or sockets go to standard error.
    Role claim(const QStringList& paths);
    // The primary process starts taking requests. False (with a message) when it cannot.
    bool listen();

    QString socketPath() const;

    // Absolute paths for the running process, whose working folder may differ; file: URLs
    // (as some launchers pass them) become paths.
    static QStringList absolutePaths(const QStringList& arguments);

signals:
    // Files a later start handed over, in its order; empty for a new empty window.
    void openRequested(const QStringList& paths);

private:
    void acceptConnections();
    void serve(QLocalSocket* socket);

    QString m_folder;
    std::unique_ptr<QLockFile> m_startLock;
    QLocalServer* m_server = nullptr;
};

} // namespace wend

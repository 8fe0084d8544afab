// Which role a start takes, and that files reach the running editor only over a socket of the
// same user in a private folder.
#include "ui/app/SingleInstance.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace wend {
namespace {

using Role = SingleInstance::Role;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner));
    }

    QString socketPath() const { return SingleInstance(m_dir.path()).socketPath(); }

    QTemporaryDir m_dir;
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsFilesToTheRunningOne) {
    SingleInstance running(m_dir.path());
    ASSERT_EQ(running.claim({}), Role::Primary);
    ASSERT_TRUE(running.listen());
    QSignalSpy requests(&running, &SingleInstance::openRequested);

    for (const QStringList& paths :
         {QStringList{QStringLiteral("/tmp/a b.gpx"), QStringLiteral("/tmp/caf\u00e9.gpx")},
          QStringList()}) {
        SCOPED_TRACE(paths.size());
        // The later start blocks on the socket; the running one answers from the event loop.
        Role role = Role::Primary;
        std::thread later([&] { role = SingleInstance(m_dir.path()).claim(paths); });
        const bool received = requests.wait(10000) || !requests.isEmpty();
        later.join();
        ASSERT_TRUE(received);
        EXPECT_EQ(role, Role::HandedOver);
        EXPECT_EQ(requests.takeFirst().at(0).toStringList(), paths);
    }
}

TEST_F(SingleInstanceTest, ASocketLeftByAnEndedEditorIsReplaced) {
    // What a crash leaves: the socket file, with nobody listening.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath());
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);

    SingleInstance next(m_dir.path());
    EXPECT_EQ(next.claim({QStringLiteral("/tmp/x.gpx")}), Role::Primary);
    EXPECT_TRUE(next.listen());
}

TEST_F(SingleInstanceTest, NothingIsSentIntoAFolderOrSocketOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to hand files to another user";
    constexpr uid_t kNobody = 65534;
    const QByteArray folder = QFile::encodeName(m_dir.path());
    const QByteArray socket = QFile::encodeName(socketPath());
    const struct {
        const char* name;
        std::function<void(QLocalServer&)> spoil;
    } cases[] = {
        {"a socket of another user",
         [&](QLocalServer&) { ASSERT_EQ(::lchown(socket.constData(), kNobody, kNobody), 0); }},
        {"a folder of another user",
         [&](QLocalServer&) { ASSERT_EQ(::chown(folder.constData(), kNobody, kNobody), 0); }},
        {"a folder open to everyone",
         [&](QLocalServer&) { ASSERT_EQ(::chmod(folder.constData(), 0777), 0); }},
        {"a link to a socket elsewhere",
         [&](QLocalServer& server) {
             const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere.socket"));
             server.close();
             ASSERT_TRUE(server.listen(elsewhere));
             ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), socket.constData()), 0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QLocalServer listener;
        ASSERT_TRUE(listener.listen(socketPath()));
        c.spoil(listener);

        SingleInstance later(m_dir.path());
        EXPECT_EQ(later.claim({QStringLiteral("/tmp/x.gpx")}), Role::Alone);
        EXPECT_FALSE(listener.waitForNewConnection(0)) << "a connection was made";

        listener.close();
        QFile::remove(socketPath());
        ASSERT_EQ(::chown(folder.constData(), 0, 0), 0);
        ASSERT_EQ(::chmod(folder.constData(), 0700), 0);
    }
}

} // namespace
} // namespace wend

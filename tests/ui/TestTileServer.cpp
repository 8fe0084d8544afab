#include "TestTileServer.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QTcpSocket>
#include <algorithm>

namespace wend::test {

TestTileServer::TestTileServer() {
    connect(&m_server, &QTcpServer::newConnection, this, &TestTileServer::acceptConnections);
    m_server.listen(QHostAddress::LocalHost);
}

QString TestTileServer::tileURL(const QString& layer) const {
    return QStringLiteral("http://127.0.0.1:%1/%2/{z}/{x}/{y}.png")
        .arg(m_server.serverPort())
        .arg(layer);
}

int TestTileServer::requestCount(const QString& layer) const {
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                          [&](const TileRequest& r) { return r.layer == layer; }));
}

bool TestTileServer::hasRequest(const QString& layer, int z) const {
    return std::any_of(m_requests.begin(), m_requests.end(),
                       [&](const TileRequest& r) { return r.layer == layer && r.z == z; });
}

void TestTileServer::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestTileServer::readRequest(QTcpSocket* socket) {
    // The request so far waits in the socket's buffer until its header is complete.
    const qsizetype headerEnd = socket->peek(socket->bytesAvailable()).indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QString header = QString::fromLatin1(socket->read(headerEnd + 4));
    static const QRegularExpression tilePath(
        QStringLiteral("^GET /(\\w+)/(\\d+)/\\d+/\\d+\\.png "));
    static const QRegularExpression userAgent(QStringLiteral("^user-agent: *(.*?)\\r$"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::MultilineOption);
    const auto match = tilePath.match(header);
    if (!match.hasMatch()) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const TileRequest request{match.captured(1), match.captured(2).toInt(),
                              userAgent.match(header).captured(1).toLatin1()};
    m_requests.append(request);
    const QByteArray body = tileImage(request.layer);
    socket->write(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: ") +
                  (m_cacheable ? "public, max-age=86400" : "no-store") +
                  "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\n\r\n" + body);
    socket->disconnectFromHost();
}

QByteArray TestTileServer::tileImage(const QString& layer) const {
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(m_colors.value(layer, Qt::transparent));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace wend::test

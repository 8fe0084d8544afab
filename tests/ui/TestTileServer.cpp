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

void TestTileServer::setLayerColor(const QString& layer, const QColor& color) {
    m_colors.insert(layer, color);
    m_images.remove(layer);
}

int TestTileServer::requestCount(const QString& layer) const {
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                          [&](const TileRequest& r) { return r.layer == layer; }));
}

bool TestTileServer::hasRequest(const QString& layer, int z) const {
    return std::any_of(m_requests.begin(), m_requests.end(), [&](const TileRequest& request) {
        return request.layer == layer && request.z == z;
    });
}

void TestTileServer::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestTileServer::readRequest(QTcpSocket* socket) {
    // The request so far waits in the socket's buffer until its header is complete.
    const QByteArray pending = socket->peek(socket->bytesAvailable());
    const qsizetype headerEnd = pending.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    const QByteArray header = socket->read(headerEnd + 4);
    const QList<QByteArray> lines = header.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');

    TileRequest request;
    for (const QByteArray& line : lines) {
        if (line.toLower().startsWith("user-agent:"))
            request.userAgent = line.mid(11).trimmed();
    }
    static const QRegularExpression tilePath(
        QStringLiteral("^/(\\w+)/(\\d+)/(\\d+)/(\\d+)\\.png$"));
    const auto match = tilePath.match(QString::fromLatin1(requestLine.value(1)));

    QByteArray response;
    if (requestLine.value(0) == "GET" && match.hasMatch()) {
        request.layer = match.captured(1);
        request.z = match.captured(2).toInt();
        m_requests.append(request);
        const QByteArray body = tileImage(request.layer);
        response = QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: ") +
                   (m_cacheable ? "public, max-age=86400" : "no-store") +
                   "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\n\r\n" + body;
    } else {
        response = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
    socket->write(response);
    socket->disconnectFromHost();
}

QByteArray TestTileServer::tileImage(const QString& layer) {
    auto it = m_images.find(layer);
    if (it == m_images.end()) {
        QImage image(256, 256, QImage::Format_ARGB32);
        image.fill(m_colors.value(layer, Qt::transparent));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        it = m_images.insert(layer, png);
    }
    return *it;
}

} // namespace wend::test

#pragma once

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace wend::test {

// One tile request as the server saw it.
struct TileRequest {
    QString layer;
    int z = 0;
    QByteArray userAgent;
};

// A tile server on 127.0.0.1 for map tests: GET /<layer>/<z>/<x>/<y>.png answers with a
// 256×256 PNG filled with the layer's colour (transparent for a layer without one). Every
// request is recorded. Responses forbid caching, so every tile shown is a
// request seen, unless the server is made cacheable.
class TestTileServer : public QObject {
    Q_OBJECT

public:
    TestTileServer();

    bool isListening() const { return m_server.isListening(); }
    // "http://127.0.0.1:<port>/<layer>/{z}/{x}/{y}.png"
    QString tileURL(const QString& layer) const;
    void setLayerColor(const QString& layer, const QColor& color) { m_colors.insert(layer, color); }
    // Tiles may be kept for a day, as public tile servers allow.
    void setCacheable(bool cacheable) { m_cacheable = cacheable; }
    // Stops listening: later requests are refused.
    void stop() { m_server.close(); }

    const QList<TileRequest>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    int requestCount(const QString& layer) const;
    bool hasRequest(const QString& layer, int z) const;

private:
    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    QByteArray tileImage(const QString& layer) const;

    QTcpServer m_server;
    QHash<QString, QColor> m_colors;
    QList<TileRequest> m_requests;
    bool m_cacheable = false;
};

} // namespace wend::test

#include "mqtt/MosquittoTransport.h"

#include "publish/ReconnectBackOff.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// A dead connection (a router that lost power, a broker host gone) is noticed within 1.5 times
// this, and the broker publishes the last will as soon.
constexpr int kKeepAliveSeconds = 15;
constexpr int kLoopTimeoutMs = 200;                     // how soon the thread sees a stop request
constexpr auto kGoodbyeGrace = std::chrono::seconds(1); // for the DISCONNECT packet to leave

// libmosquitto's global set-up, once per process.
void initialiseLibrary() {
    static const int once = [] { return mosquitto_lib_init(); }();
    Q_UNUSED(once);
}

QString errorText(int rc, int savedErrno) {
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(savedErrno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

// Shared by the transport and its network thread. If a connection attempt is still blocked in
// the system when the transport goes (a name lookup without answer), the thread keeps the
// session alive and finds nobody to tell.
struct MosquittoTransport::Session {
    mosquitto* mosq = nullptr;
    MqttConnection connection;
    std::atomic<bool> connected{false};
    std::atomic<bool> stopping{false};
    std::atomic<bool> accepted{false};   // the broker said yes on this connection
    std::atomic<qint64> acceptedAtMs{0}; // when, on the steady clock
    std::atomic<int> inFlight{0};

    std::mutex mutex;
    std::condition_variable wake;
    int farewellMid = -1;                // guarded by mutex
    bool farewellDone = false;           // guarded by mutex
    bool threadDone = false;             // guarded by mutex
    MosquittoTransport* owner = nullptr; // guarded by mutex; null once the transport is gone

    ~Session() {
        if (mosq)
            mosquitto_destroy(mosq);
    }

    // Runs f on the transport's thread, if the transport is still there.
    template <typename F> void tell(F f) {
        std::lock_guard<std::mutex> lock(mutex);
        if (owner)
            QMetaObject::invokeMethod(
                owner, [o = owner, f] { f(o); }, Qt::QueuedConnection);
    }
    void report(const QString& reason, bool refused) {
        tell([reason, refused](MosquittoTransport* t) { emit t->connectionFailed(reason, refused); });
    }

    void run();
    void waitBeforeRetry(int seconds) {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return bool(stopping); });
    }

    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    // What libmosquitto said while loading the TLS files on this attempt; network thread only.
    QString setupError;
};

namespace {

qint64 steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void MosquittoTransport::Session::run() {
    const QByteArray host = connection.broker.host.toUtf8();
    ReconnectBackOff backOff;
    bool everConnected = false;
    while (!stopping) {
        // Non-blocking TCP connect: only the name lookup can hold the thread.
        setupError.clear();
        int rc = everConnected ? mosquitto_reconnect_async(mosq)
                               : mosquitto_connect_async(mosq, host.constData(), connection.broker.port,
                                                         kKeepAliveSeconds);
        const int connectErrno = errno;
        if (rc == MOSQ_ERR_TLS && !setupError.isEmpty()) {
            // The certificates or the key could not be loaded: no retry mends that. (A handshake
            // that fails at once, on a fast broker, is a connection failure like any other.)
            const QString reason = QStringLiteral("TLS set-up failed: %1").arg(setupError);
            tell([reason](MosquittoTransport* t) { emit t->setupFailed(reason); });
            break;
        }
        if (rc != MOSQ_ERR_SUCCESS) {
            report(QStringLiteral("cannot reach the broker: %1").arg(errorText(rc, connectErrno)), false);
        } else {
            everConnected = true;
            accepted = false;
            std::chrono::steady_clock::time_point stopSeen{};
            while (rc == MOSQ_ERR_SUCCESS) {
                rc = mosquitto_loop(mosq, kLoopTimeoutMs, 1);
                if (!stopping)
                    continue;
                // Stopping: leave once the goodbye is out, or after a short grace.
                const auto now = std::chrono::steady_clock::now();
                if (stopSeen == std::chrono::steady_clock::time_point{})
                    stopSeen = now;
                if (!connected || now - stopSeen > kGoodbyeGrace)
                    break;
            }
            const int loopErrno = errno;
            const bool wasAccepted = accepted;
            connected = false;
            if (stopping)
                break;
            if (wasAccepted) {
                backOff.connectionEnded(steadyMs() - acceptedAtMs);
                report(QStringLiteral("connection lost: %1").arg(errorText(rc, loopErrno)), false);
            } else if (rc != MOSQ_ERR_CONN_REFUSED) {
                // The TCP connection or the TLS handshake failed (refusals are told in onConnect).
                report(QStringLiteral("cannot reach the broker: %1").arg(errorText(rc, loopErrno)), false);
            }
        }
        waitBeforeRetry(backOff.nextDelaySeconds());
    }
    std::lock_guard<std::mutex> lock(mutex);
    threadDone = true;
    wake.notify_all();
}

void MosquittoTransport::Session::onConnect(mosquitto*, void* self, int rc) {
    auto* s = static_cast<Session*>(self);
    if (rc != 0) {
        // The broker answered and refused: a wrong user name or password, an unknown client.
        QString why =
            QString::fromUtf8(mosquitto_connack_string(rc)); // "Connection Refused: not authorised."
        why.remove(QStringLiteral("Connection Refused: "), Qt::CaseInsensitive);
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        s->report(QStringLiteral("the broker refused the connection: %1").arg(why), true);
        return;
    }
    s->inFlight = 0;
    s->acceptedAtMs = steadyMs();
    s->accepted = true;
    s->connected = true;
    for (const QString& topic : s->connection.subscriptions)
        mosquitto_subscribe(s->mosq, nullptr, topic.toUtf8().constData(), 1);
    s->tell([](MosquittoTransport* t) { emit t->connected(); });
}

void MosquittoTransport::Session::onLog(mosquitto*, void* self, int level, const char* text) {
    // The library's own words for TLS files it cannot load ("Error: Unable to load client
    // certificate ...", "Error: Client certificate/key are inconsistent."): only these make a
    // set-up failure, told with the file named.
    if (level != MOSQ_LOG_ERR || !text)
        return;
    const QString line = QString::fromUtf8(text);
    if (line.startsWith(QLatin1String("Error: Unable to")) ||
        line.startsWith(QLatin1String("Error: Client certificate/key"))) {
        auto* s = static_cast<Session*>(self);
        QString why = line.mid(int(qstrlen("Error: ")));
        why[0] = why[0].toLower();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        if (s->setupError.isEmpty())
            s->setupError = why;
    }
}

void MosquittoTransport::Session::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* s = static_cast<Session*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    s->tell([topic, payload](MosquittoTransport* t) { emit t->messageReceived(topic, payload); });
}

void MosquittoTransport::Session::onDisconnect(mosquitto*, void* self, int) {
    auto* s = static_cast<Session*>(self);
    s->connected = false;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->wake.notify_all();
}

void MosquittoTransport::Session::onPublish(mosquitto*, void* self, int mid) {
    auto* s = static_cast<Session*>(self);
    if (s->inFlight > 0)
        --s->inFlight;
    std::lock_guard<std::mutex> lock(s->mutex);
    if (mid == s->farewellMid) {
        s->farewellDone = true;
        s->wake.notify_all();
    }
}

MosquittoTransport::MosquittoTransport(QObject* parent)
    : MqttTransport(parent) {
    initialiseLibrary();
}

MosquittoTransport::~MosquittoTransport() {
    if (!session_)
        return;
    if (session_->connected)
        mosquitto_disconnect(session_->mosq); // a clean goodbye; the will stays unpublished
    session_->stopping = true;
    finishThread(2000);
}

QString MosquittoTransport::start(const MqttConnection& connection) {
    if (session_)
        return QString();
    auto session = std::make_shared<Session>();
    Session& s = *session;
    s.connection = connection;
    s.mosq = mosquitto_new(connection.clientId.toUtf8().constData(), true, &s);
    if (!s.mosq)
        return QStringLiteral("the MQTT client could not be created: %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    // Packets are written by the network thread only, never by the caller of publish().
    mosquitto_threaded_set(s.mosq, true);
    mosquitto_int_option(s.mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(s.mosq, &Session::onConnect);
    mosquitto_disconnect_callback_set(s.mosq, &Session::onDisconnect);
    mosquitto_publish_callback_set(s.mosq, &Session::onPublish);
    mosquitto_message_callback_set(s.mosq, &Session::onMessage);
    mosquitto_log_callback_set(s.mosq, &Session::onLog);
    const QByteArray willTopic = connection.will.topic.toUtf8();
    if (!willTopic.isEmpty()) {
        const int rc = mosquitto_will_set(s.mosq, willTopic.constData(), int(connection.will.payload.size()),
                                          connection.will.payload.constData(), connection.will.qos,
                                          connection.will.retain);
        if (rc != MOSQ_ERR_SUCCESS)
            return QStringLiteral("the last will cannot be set: %1").arg(errorText(rc, errno));
    }
    if (!connection.broker.user.isEmpty() || !connection.password.isEmpty()) {
        const QByteArray user = connection.broker.user.toUtf8();
        const QByteArray password = connection.password.toUtf8();
        mosquitto_username_pw_set(s.mosq, user.isEmpty() ? nullptr : user.constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    }
    if (connection.broker.tls) {
        const QByteArray caFile = connection.caFile.toLocal8Bit();
        const QByteArray certFile = connection.certFile.toLocal8Bit();
        const QByteArray keyFile = connection.keyFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(s.mosq, caFile.isEmpty() ? nullptr : caFile.constData(),
                                         caFile.isEmpty() ? "/etc/ssl/certs" : nullptr,
                                         certFile.isEmpty() ? nullptr : certFile.constData(),
                                         keyFile.isEmpty() ? nullptr : keyFile.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            return QStringLiteral("TLS set-up failed: %1").arg(errorText(rc, errno));
    }
    s.owner = this;
    session_ = std::move(session);
    std::thread([session = session_] { session->run(); }).detach();
    return QString();
}

bool MosquittoTransport::publish(const MqttMessage& message) {
    if (!session_ || !session_->connected || session_->inFlight >= kMaxInFlight)
        return false;
    ++session_->inFlight;
    const QByteArray topic = message.topic.toUtf8();
    const int rc = mosquitto_publish(session_->mosq, nullptr, topic.constData(), int(message.payload.size()),
                                     message.payload.constData(), message.qos, message.retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        --session_->inFlight;
        return false;
    }
    return true;
}

void MosquittoTransport::stop(const MqttMessage& farewell, int timeoutMs) {
    if (!session_ || !session_->mosq)
        return;
    Session& s = *session_;
    if (s.connected) {
        std::unique_lock<std::mutex> lock(s.mutex);
        int mid = -1;
        const QByteArray topic = farewell.topic.toUtf8();
        if (mosquitto_publish(s.mosq, &mid, topic.constData(), int(farewell.payload.size()),
                              farewell.payload.constData(), 1, farewell.retain) == MOSQ_ERR_SUCCESS) {
            s.farewellMid = mid;
            // Acknowledged by the broker, so it is stored before we say goodbye.
            s.wake.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&s] { return s.farewellDone || !s.connected; });
        }
    }
    // A clean disconnection: the broker discards the last will.
    mosquitto_disconnect(s.mosq);
    s.stopping = true;
    finishThread(1500);
}

void MosquittoTransport::finishThread(int timeoutMs) {
    Session& s = *session_;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.wake.notify_all();
    // A thread still inside a name lookup is left to finish on its own: it holds the session,
    // and finds no owner to tell.
    s.wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&s] { return s.threadDone; });
    s.owner = nullptr;
}

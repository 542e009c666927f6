#include "mqtt/MosquittoTransport.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <chrono>
#include <cstring>

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopTimeoutMs = 200; // how soon the thread sees a stop request
constexpr int kMaxRetrySeconds = 30;

// libmosquitto's global set-up, once per process.
void initialiseLibrary() {
    static const int once = [] { return mosquitto_lib_init(); }();
    Q_UNUSED(once);
}

QString errorText(int rc) {
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

MosquittoTransport::MosquittoTransport(QObject* parent)
    : MqttTransport(parent) {
    initialiseLibrary();
}

MosquittoTransport::~MosquittoTransport() {
    stopping_ = true;
    finishThread(2000);
    if (mosq_)
        mosquitto_destroy(mosq_);
}

void MosquittoTransport::finishThread(int timeoutMs) {
    if (!thread_.joinable())
        return;
    wake_.notify_all();
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return threadDone_; })) {
        lock.unlock();
        thread_.join();
        return;
    }
    // Still inside a connection attempt that the system has not given up yet (a dead route
    // can take minutes): the process is leaving, so the thread and its client are left to it
    // rather than holding up the exit.
    thread_.detach();
    mosq_ = nullptr;
}

void MosquittoTransport::start(const MqttConnection& connection) {
    if (mosq_)
        return;
    connection_ = connection;
    mosq_ = mosquitto_new(connection.clientId.toUtf8().constData(), true, this);
    if (!mosq_) {
        report(QStringLiteral("the MQTT client could not be created"), false);
        return;
    }
    // Packets are written by our thread only, never by the caller of publish().
    mosquitto_threaded_set(mosq_, true);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(mosq_, &MosquittoTransport::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MosquittoTransport::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &MosquittoTransport::onPublish);
    const QByteArray willTopic = connection.will.topic.toUtf8();
    if (!willTopic.isEmpty())
        mosquitto_will_set(mosq_, willTopic.constData(), int(connection.will.payload.size()),
                           connection.will.payload.constData(), connection.will.qos, connection.will.retain);
    if (!connection.broker.user.isEmpty() || !connection.password.isEmpty()) {
        const QByteArray user = connection.broker.user.toUtf8();
        const QByteArray password = connection.password.toUtf8();
        mosquitto_username_pw_set(mosq_, user.isEmpty() ? nullptr : user.constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    }
    if (connection.broker.tls) {
        const QByteArray caFile = connection.caFile.toLocal8Bit();
        const int rc = caFile.isEmpty() ? mosquitto_tls_set(mosq_, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr)
                                        : mosquitto_tls_set(mosq_, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            report(QStringLiteral("TLS set-up failed: %1").arg(errorText(rc)), false);
            return;
        }
    }
    thread_ = std::thread([this] { run(); });
}

void MosquittoTransport::run() {
    const QByteArray host = connection_.broker.host.toUtf8();
    int retrySeconds = 1;
    bool firstAttempt = true;
    while (!stopping_) {
        const int rc = firstAttempt ? mosquitto_connect(mosq_, host.constData(), connection_.broker.port,
                                                        kKeepAliveSeconds)
                                    : mosquitto_reconnect(mosq_);
        if (rc != MOSQ_ERR_SUCCESS) {
            report(QStringLiteral("cannot reach the broker: %1").arg(errorText(rc)), false);
        } else {
            firstAttempt = false;
            everAccepted_ = false;
            int loop = MOSQ_ERR_SUCCESS;
            while (loop == MOSQ_ERR_SUCCESS && !(stopping_ && !connected_))
                loop = mosquitto_loop(mosq_, kLoopTimeoutMs, 1);
            connected_ = false;
            if (stopping_)
                break;
            if (everAccepted_) {
                retrySeconds = 1; // the broker was there: try again soon
                report(QStringLiteral("connection lost: %1").arg(errorText(loop)), false);
            }
        }
        waitBeforeRetry(retrySeconds);
        retrySeconds = qMin(retrySeconds * 2, kMaxRetrySeconds);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    threadDone_ = true;
    wake_.notify_all();
}

void MosquittoTransport::waitBeforeRetry(int seconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return bool(stopping_); });
}

bool MosquittoTransport::publish(const MqttMessage& message) {
    if (!mosq_ || !connected_ || inFlight_ >= kMaxInFlight)
        return false;
    ++inFlight_;
    const QByteArray topic = message.topic.toUtf8();
    const int rc = mosquitto_publish(mosq_, nullptr, topic.constData(), int(message.payload.size()),
                                     message.payload.constData(), message.qos, message.retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        --inFlight_;
        return false;
    }
    return true;
}

void MosquittoTransport::stop(const MqttMessage& farewell, int timeoutMs) {
    if (!mosq_)
        return;
    if (connected_) {
        std::unique_lock<std::mutex> lock(mutex_);
        int mid = -1;
        const QByteArray topic = farewell.topic.toUtf8();
        if (mosquitto_publish(mosq_, &mid, topic.constData(), int(farewell.payload.size()),
                              farewell.payload.constData(), 1, farewell.retain) == MOSQ_ERR_SUCCESS) {
            farewellMid_ = mid;
            // Acknowledged by the broker, so it is stored before we say goodbye.
            wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return farewellDone_ || !connected_; });
        }
    }
    // A clean disconnection: the broker discards the last will.
    mosquitto_disconnect(mosq_);
    stopping_ = true;
    finishThread(1000);
}

void MosquittoTransport::report(const QString& reason, bool refused) {
    QMetaObject::invokeMethod(
        this, [this, reason, refused] { emit connectionFailed(reason, refused); }, Qt::QueuedConnection);
}

void MosquittoTransport::onConnect(mosquitto*, void* self, int rc) {
    auto* t = static_cast<MosquittoTransport*>(self);
    if (rc != 0) {
        // The broker answered and refused: a wrong user name or password, an unknown client.
        t->report(QStringLiteral("the broker refused the connection: %1")
                      .arg(QString::fromUtf8(mosquitto_connack_string(rc))),
                  true);
        return;
    }
    t->inFlight_ = 0;
    t->everAccepted_ = true;
    t->connected_ = true;
    QMetaObject::invokeMethod(t, [t] { emit t->connected(); }, Qt::QueuedConnection);
}

void MosquittoTransport::onDisconnect(mosquitto*, void* self, int) {
    auto* t = static_cast<MosquittoTransport*>(self);
    t->connected_ = false;
    std::lock_guard<std::mutex> lock(t->mutex_);
    t->wake_.notify_all();
}

void MosquittoTransport::onPublish(mosquitto*, void* self, int mid) {
    auto* t = static_cast<MosquittoTransport*>(self);
    if (t->inFlight_ > 0)
        --t->inFlight_;
    std::lock_guard<std::mutex> lock(t->mutex_);
    if (mid == t->farewellMid_) {
        t->farewellDone_ = true;
        t->wake_.notify_all();
    }
}

#pragma once

#include <QString>

// Where the broker is: mqtt://[user@]host[:port] (plain TCP, port 1883 by default) or
// mqtts://[user@]host[:port] (TLS, 8883). The password never appears in the address: it is
// read from a file, so that it does not show in the process list or the shell history.
struct BrokerUrl {
    bool tls = false;
    QString user; // empty: no user name is sent
    QString host;
    int port = 0;

    // An error text for the user, empty when the address is good.
    static QString parse(const QString& text, BrokerUrl& url);
    QString display() const; // "mqtt://host:port", for messages
};

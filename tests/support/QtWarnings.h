#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Records every Qt warning, critical and fatal message while it exists, so that a test can
// assert that an action left no warning behind ("closeEditor called with an editor that does
// not belong to this view" and the like). Messages still reach the previous handler.
// One at a time. Not recorded: what the headless "offscreen" platform says about a feature it
// lacks whenever a message box fixes its size; a desktop platform does not say it.
class QtWarnings {
public:
    QtWarnings() {
        instance() = this;
        previous_ = qInstallMessageHandler(&QtWarnings::handle);
    }
    ~QtWarnings() {
        qInstallMessageHandler(previous_);
        instance() = nullptr;
    }
    QtWarnings(const QtWarnings&) = delete;
    QtWarnings& operator=(const QtWarnings&) = delete;

    QStringList taken() {
        QMutexLocker lock(&mutex_);
        QStringList all;
        all.swap(messages_);
        return all;
    }

private:
    static QtWarnings*& instance() {
        static QtWarnings* current = nullptr;
        return current;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        QtWarnings* self = instance();
        if (self && type != QtDebugMsg && type != QtInfoMsg && !isOffscreenLimit(message)) {
            QMutexLocker lock(&self->mutex_);
            self->messages_.append(message);
        }
        if (self && self->previous_)
            self->previous_(type, context, message);
    }

    static bool isOffscreenLimit(const QString& message) {
        return message == QLatin1String("This plugin does not support propagateSizeHints()");
    }

    QtMessageHandler previous_ = nullptr;
    QMutex mutex_;
    QStringList messages_;
};

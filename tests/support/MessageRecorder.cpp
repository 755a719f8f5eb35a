#include "MessageRecorder.h"

#include "Application.h"

MessageRecorder::MessageRecorder() { wik::Application::setMessageSink(this); }

MessageRecorder::~MessageRecorder() { wik::Application::setMessageSink(nullptr); }

void MessageRecorder::showError(QWidget *, const QString &caption, const QString &text) {
    messages.push_back({RecordedMessage::Error, caption, text});
}

void MessageRecorder::showInformation(QWidget *, const QString &caption, const QString &text) {
    messages.push_back({RecordedMessage::Information, caption, text});
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const auto &m : messages)
        out << m.text;
    return out;
}

#pragma once
// Records the message boxes the application would show, instead of blocking on them.
#include "MessageSink.h"

#include <QString>
#include <vector>

struct RecordedMessage {
    enum Kind { Error, Information } kind;
    QString caption;
    QString text;
};

class MessageRecorder : public wik::MessageSink {
public:
    MessageRecorder();  // installs itself as the application's sink
    ~MessageRecorder() override; // restores the dialog sink

    void showError(QWidget *owner, const QString &caption, const QString &text) override;
    void showInformation(QWidget *owner, const QString &caption, const QString &text) override;

    std::vector<RecordedMessage> messages;
    void clear() { messages.clear(); }
    // The texts of the recorded boxes, for compact assertions.
    QStringList texts() const;
};

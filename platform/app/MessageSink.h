#pragma once
// Where the application's message boxes go. The real sink shows modal boxes; a test installs a
// recording sink so that an action that would show a box runs to its end without blocking.
#include <QString>

class QWidget;

namespace wik {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // The default error display: stop icon, one OK button, caption = application title.
    virtual void showError(QWidget *owner, const QString &caption, const QString &text) = 0;
    // An information message: no icon, one "OK" button, centred on the active screen's work area.
    virtual void showInformation(QWidget *owner, const QString &caption, const QString &text) = 0;
};

class DialogMessageSink : public MessageSink {
public:
    void showError(QWidget *owner, const QString &caption, const QString &text) override;
    void showInformation(QWidget *owner, const QString &caption, const QString &text) override;
};

} // namespace wik

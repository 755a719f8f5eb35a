#pragma once
// The application object: title and key, the default error display, information messages and
// the one guard that keeps exceptions from crossing Qt's event loop.
#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "MessageSink.h"

namespace wik {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    ~Application() override;

    // The title: the executable's file name without its folder, cut at its first ".", every
    // character after the first in lower case. It captions every message box and is the key
    // under which the company database lists the program.
    static QString deriveTitle(const QString &executablePath);
    static QString title();
    // Tests set the title as a real start from a given executable would derive it.
    static void setTitle(const QString &title);

    // The default error display's text for an error; nothing for a silent one.
    static std::optional<QString> errorDisplayText(const std::exception &e);
    static QString appendPeriodRule(QString text);

    // Shows an error the way the default error display does (nothing for a silent one).
    static void showException(const std::exception &e);
    static void handleCurrentException() noexcept;
    static void showInformation(const QString &text);

    // Runs an event handler; whatever it raises goes to the default error display.
    static void guard(const std::function<void()> &handler) noexcept;

    // Lets the windows process their pending messages (repaint, operator input).
    static void processMessages();

    // The seam for message boxes; the application owns the default one.
    static MessageSink &messageSink();
    static void setMessageSink(MessageSink *sink); // nullptr restores the dialog sink

    bool notify(QObject *receiver, QEvent *event) override;

private:
    static void substituteDesignFonts();
};

// Connects a signal to an event handler through the guard; the signal's arguments are dropped.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection connectHandler(Sender *sender, Signal signal, QObject *context,
                                       Handler handler) {
    return QObject::connect(sender, signal, context,
                            [handler]() { Application::guard(handler); });
}

} // namespace wik

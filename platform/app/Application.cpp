#include "Application.h"

#include "Error.h"

#include <QFont>
#include <QFontDatabase>
#include <QWidget>

namespace wik {

namespace {

QString &titleStorage() {
    static QString t;
    return t;
}

MessageSink *&currentSink() {
    static MessageSink *sink = nullptr;
    return sink;
}

DialogMessageSink &dialogSink() {
    static DialogMessageSink sink;
    return sink;
}

QWidget *messageOwner() {
    QWidget *w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    return w;
}

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    // The program sets no title of its own; Qt's own application name must not leak into
    // window titles either.
    setTitle(deriveTitle(QString::fromLocal8Bit(argc > 0 ? argv[0] : "")));
    setApplicationName(title());
    setQuitOnLastWindowClosed(false);
    substituteDesignFonts();
}

void Application::substituteDesignFonts() {
    // The windows are designed in Windows fonts. Where those are missing, take the metric
    // look-alikes of the free font families, so that texts fit the designed sizes; fontconfig's
    // own fallback would pick a much wider face.
    const struct {
        const char *design;
        const char *stand_in;
    } table[] = {{"Segoe UI", "Liberation Sans"},
                 {"Tahoma", "Liberation Sans"},
                 {"MS Sans Serif", "Liberation Sans"}};
    const QStringList installed = QFontDatabase::families();
    for (const auto &row : table) {
        const QString design = QString::fromLatin1(row.design);
        if (!installed.contains(design) && installed.contains(QString::fromLatin1(row.stand_in)))
            QFont::insertSubstitution(design, QString::fromLatin1(row.stand_in));
    }
}

Application::~Application() = default;

QString Application::deriveTitle(const QString &executablePath) {
    QString name = executablePath;
    int slash = name.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    slash = std::max(slash, static_cast<int>(name.lastIndexOf(QLatin1Char('\\'))));
#endif
    name = name.mid(slash + 1);
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString Application::title() { return titleStorage(); }

void Application::setTitle(const QString &t) { titleStorage() = t; }

QString Application::appendPeriodRule(QString text) {
    if (!text.isEmpty() && text.back().unicode() > u'.')
        text.append(QLatin1Char('.'));
    return text;
}

std::optional<QString> Application::errorDisplayText(const std::exception &e) {
    const auto *err = dynamic_cast<const Error *>(&e);
    if (err && err->silent())
        return std::nullopt;
    QString text;
    if (err && err->inner()) {
        const Error *innermost = err;
        QStringList chain;
        for (const Error *x = err; x; x = x->inner()) {
            chain << QString::fromStdString(x->message());
            innermost = x;
        }
        text = QString::fromStdString(innermost->message());
        if (text.isEmpty())
            text = chain.join(QLatin1Char('\n'));
    } else {
        text = QString::fromStdString(messageOf(e));
    }
    return appendPeriodRule(text);
}

void Application::showException(const std::exception &e) {
    if (auto text = errorDisplayText(e))
        messageSink().showError(messageOwner(), title(), *text);
}

void Application::handleCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception &e) {
            showException(e);
        } catch (...) {
            messageSink().showError(messageOwner(), title(), QStringLiteral("Unknown error."));
        }
    } catch (...) {
        // Showing the error failed as well; nothing more can be done for this event.
    }
}

void Application::showInformation(const QString &text) {
    messageSink().showInformation(messageOwner(), title(), text);
}

void Application::guard(const std::function<void()> &handler) noexcept {
    try {
        handler();
    } catch (...) {
        handleCurrentException();
    }
}

void Application::processMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

MessageSink &Application::messageSink() {
    MessageSink *sink = currentSink();
    return sink ? *sink : dialogSink();
}

void Application::setMessageSink(MessageSink *sink) { currentSink() = sink; }

bool Application::notify(QObject *receiver, QEvent *event) {
    // Every handler is already wrapped by guard(); this catches what a Qt virtual override
    // might raise so that nothing unwinds through the event loop.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        handleCurrentException();
        return false;
    }
}

} // namespace wik

#pragma once
// The program's six instances in an offscreen application, the company connection pointed at a
// benchmark database, the workbench shown, and message boxes answered at once.
#include "BenchDb.h"
#include "MessageSink.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace wik {
class Application;
}

namespace bench {

class SilentMessages : public wik::MessageSink {
public:
    void showError(QWidget *, const QString &, const QString &text) override { errors << text; }
    void showInformation(QWidget *, const QString &, const QString &text) override { infos << text; }
    QStringList errors, infos;
};

class WorkbenchRun {
public:
    WorkbenchRun(const Server &s, const std::string &db);
    ~WorkbenchRun();
    SilentMessages messages;

private:
    std::unique_ptr<wik::Application> app_;
};

} // namespace bench

// The default error display's text: for any error message, and any chain of inner errors, the
// text is chosen by the display's rule and ends with "." exactly when the period rule says.
//
// The input's first byte chooses the kind of error (bit 0: silent; bit 1: a standard exception
// rather than the tool's own), the rest, split at NUL bytes, gives the messages of the chain from
// the outermost error inwards.
#include "Application.h"
#include "Error.h"
#include "FuzzCheck.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ruleAppendsPeriod(const QString &text) {
    return !text.isEmpty() && text.back().unicode() > u'.';
}

void checkPeriodRule(const QString &text) {
    const QString shown = wik::Application::appendPeriodRule(text);
    if (ruleAppendsPeriod(text))
        FUZZ_CHECK(shown == text + u'.');
    else
        FUZZ_CHECK(shown == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned kind = data[0];
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    std::vector<std::string> messages;
    while (true) {
        const std::size_t nul = rest.find('\0');
        messages.emplace_back(rest.substr(0, nul));
        if (nul == std::string_view::npos || messages.size() == 8)
            break;
        rest.remove_prefix(nul + 1);
    }

    for (const std::string &m : messages)
        checkPeriodRule(QString::fromStdString(m));

    if (kind & 1) {
        FUZZ_CHECK(!wik::Application::errorDisplayText(wik::SilentAbort()).has_value());
        return 0;
    }
    if (kind & 2) {
        const std::runtime_error e(messages.front());
        const auto shown = wik::Application::errorDisplayText(e);
        FUZZ_CHECK(shown && *shown == wik::Application::appendPeriodRule(
                                          QString::fromStdString(wik::messageOf(e))));
        return 0;
    }

    // The chain, innermost first.
    std::shared_ptr<const wik::Error> chain;
    for (auto m = messages.rbegin(); m != messages.rend(); ++m)
        chain = chain ? std::make_shared<const wik::Error>(*m, chain)
                      : std::make_shared<const wik::Error>(*m);
    const auto shown = wik::Application::errorDisplayText(*chain);
    FUZZ_CHECK(shown.has_value());

    QString expected;
    if (messages.size() == 1) {
        expected = QString::fromStdString(messages.front());
    } else if (!messages.back().empty()) {
        expected = QString::fromStdString(messages.back());
    } else {
        QStringList lines;
        for (const std::string &m : messages)
            lines << QString::fromStdString(m);
        expected = lines.join(u'\n');
    }
    FUZZ_CHECK(*shown == wik::Application::appendPeriodRule(expected));
    FUZZ_CHECK(shown->endsWith(u'.') == (ruleAppendsPeriod(expected) || expected.endsWith(u'.')));
    return 0;
}

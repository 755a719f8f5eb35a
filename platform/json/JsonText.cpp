#include "JsonText.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace wik::json {

namespace {

// ---------------------------------------------------------------------------------------------
// The reader. It walks the text once, keeping the open brackets on a stack of its own, and tells
// a sink what it finds. Sinks decide what to make of it: nothing (a validity check), the length
// of the laid-out text, the laid-out text itself, or the names of the top-level members.
// ---------------------------------------------------------------------------------------------

enum class Trailing {
    AfterAnyValue,      // one JSON text: white space around any value
    OnlyAfterContainer, // the viewer: white space after a top-level object or array only
};

struct Rules {
    std::size_t maxDepth;
    Trailing trailing;
};

constexpr Rules viewerRules{viewerMaxDepth, Trailing::OnlyAfterContainer};
constexpr Rules oneTextRules{std::numeric_limits<std::size_t>::max(), Trailing::AfterAnyValue};

constexpr bool isWhiteSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Bytes that stand for themselves inside a string: printable ASCII but the quotation mark and
// the backslash. Control characters must be escaped; bytes from 0x80 on start UTF-8 sequences.
constexpr std::array<bool, 256> plainAscii = [] {
    std::array<bool, 256> t{};
    for (int c = 0x20; c < 0x80; ++c)
        t[c] = c != '"' && c != '\\';
    return t;
}();

// Length of the well-formed UTF-8 sequence that starts at p with a byte from 0x80 on, or 0 when
// it is not well-formed (the table of well-formed byte sequences of the Unicode standard).
inline std::size_t utf8SequenceLength(const unsigned char *p, const unsigned char *end) {
    const unsigned char b0 = p[0];
    const std::size_t left = static_cast<std::size_t>(end - p);
    auto cont = [](unsigned char b) { return (b & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return left >= 2 && cont(p[1]) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (left < 3 || !cont(p[1]) || !cont(p[2]))
            return 0;
        if (b0 == 0xE0 && p[1] < 0xA0)
            return 0; // overlong
        if (b0 == 0xED && p[1] >= 0xA0)
            return 0; // an encoded surrogate
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (left < 4 || !cont(p[1]) || !cont(p[2]) || !cont(p[3]))
            return 0;
        if (b0 == 0xF0 && p[1] < 0x90)
            return 0; // overlong
        if (b0 == 0xF4 && p[1] >= 0x90)
            return 0; // beyond U+10FFFF
        return 4;
    }
    return 0;
}

inline int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The four hexadecimal digits at p (at least four bytes must be there), or -1.
inline long hex4(const unsigned char *p) {
    long v = 0;
    for (int i = 0; i < 4; ++i) {
        const int h = hexValue(p[i]);
        if (h < 0)
            return -1;
        v = v * 16 + h;
    }
    return v;
}

constexpr char32_t replacementCharacter = 0xFFFD;

inline std::size_t utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

inline char *encodeUtf8(char32_t cp, char *out) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Sink interface (all called in text order):
//   emptyContainer(open, close, level)  an empty object or array; level = enclosing containers
//   open(bracket)                       a non-empty object or array begins
//   elementStart(first, depth)          a member or element begins inside `depth` containers
//   close(bracket, depth)               the innermost of `depth` containers ends
//   stringStart(isName) plain(p, n)* codePoint(cp)* stringEnd(isName)
//   nameSeparator()                     the colon after a member name
//   scalar(p, n)                        a number or true/false/null, as spelled
template <class Sink>
class Reader {
public:
    Reader(std::string_view text, Sink &sink)
        : p_(reinterpret_cast<const unsigned char *>(text.data())), end_(p_ + text.size()),
          sink_(sink) {}

    bool read(const Rules &rules) {
        skipWhiteSpace();
        if (p_ == end_)
            return false;
        const bool topIsContainer = *p_ == '{' || *p_ == '[';
        for (;;) {
            // A value is expected at p_ (white space before it already skipped).
            if (p_ == end_)
                return false;
            switch (*p_) {
            case '{':
            case '[': {
                const unsigned char open = *p_;
                const unsigned char close = open == '{' ? '}' : ']';
                if (stack_.size() >= rules.maxDepth)
                    return false;
                ++p_;
                skipWhiteSpace();
                if (p_ == end_)
                    return false;
                if (*p_ == close) {
                    ++p_;
                    sink_.emptyContainer(open, close, stack_.size());
                    break;
                }
                stack_.push_back(static_cast<char>(open));
                sink_.open(open);
                sink_.elementStart(true, stack_.size());
                if (open == '{' && !memberName())
                    return false;
                continue;
            }
            case '"':
                if (!string(false))
                    return false;
                break;
            case 't':
                if (!literal("true", 4))
                    return false;
                break;
            case 'f':
                if (!literal("false", 5))
                    return false;
                break;
            case 'n':
                if (!literal("null", 4))
                    return false;
                break;
            default:
                if (!number())
                    return false;
                break;
            }
            // A value ended: close brackets until the next member or element, or the end.
            for (;;) {
                if (stack_.empty()) {
                    if (rules.trailing == Trailing::AfterAnyValue || topIsContainer)
                        skipWhiteSpace();
                    return p_ == end_;
                }
                skipWhiteSpace();
                if (p_ == end_)
                    return false;
                const unsigned char open = static_cast<unsigned char>(stack_.back());
                if (*p_ == ',') {
                    ++p_;
                    skipWhiteSpace();
                    sink_.elementStart(false, stack_.size());
                    if (open == '{' && !memberName())
                        return false;
                    break;
                }
                const unsigned char close = open == '{' ? '}' : ']';
                if (*p_ != close)
                    return false;
                ++p_;
                sink_.close(close, stack_.size());
                stack_.pop_back();
            }
        }
    }

private:
    void skipWhiteSpace() {
        while (p_ != end_ && isWhiteSpace(*p_))
            ++p_;
    }

    // A member's name and its colon; white space before the name already skipped.
    bool memberName() {
        if (p_ == end_ || *p_ != '"' || !string(true))
            return false;
        skipWhiteSpace();
        if (p_ == end_ || *p_ != ':')
            return false;
        ++p_;
        skipWhiteSpace();
        sink_.nameSeparator();
        return true;
    }

    bool string(bool isName) {
        ++p_; // the opening quotation mark
        sink_.stringStart(isName);
        for (;;) {
            const unsigned char *run = p_;
            while (p_ != end_) {
                if (plainAscii[*p_]) {
                    ++p_;
                } else if (*p_ >= 0x80) {
                    const std::size_t n = utf8SequenceLength(p_, end_);
                    if (n == 0)
                        return false;
                    p_ += n;
                } else {
                    break;
                }
            }
            if (p_ != run)
                sink_.plain(reinterpret_cast<const char *>(run), static_cast<std::size_t>(p_ - run));
            if (p_ == end_)
                return false;
            if (*p_ == '"') {
                ++p_;
                sink_.stringEnd(isName);
                return true;
            }
            if (*p_ != '\\')
                return false; // a control character must be escaped
            if (!escape())
                return false;
        }
    }

    // An escape sequence at p_ (the backslash).
    bool escape() {
        if (end_ - p_ < 2)
            return false;
        char32_t cp;
        switch (p_[1]) {
        case '"': cp = '"'; break;
        case '\\': cp = '\\'; break;
        case '/': cp = '/'; break;
        case 'b': cp = '\b'; break;
        case 'f': cp = '\f'; break;
        case 'n': cp = '\n'; break;
        case 'r': cp = '\r'; break;
        case 't': cp = '\t'; break;
        case 'u': {
            if (end_ - p_ < 6)
                return false;
            const long unit = hex4(p_ + 2);
            if (unit < 0)
                return false;
            p_ += 6;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                // A high surrogate stands for a character only with a low one right after it.
                long low = -1;
                if (end_ - p_ >= 6 && p_[0] == '\\' && p_[1] == 'u')
                    low = hex4(p_ + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    p_ += 6;
                    cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                         (static_cast<char32_t>(low) - 0xDC00);
                } else {
                    cp = replacementCharacter;
                }
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                cp = replacementCharacter;
            } else {
                cp = static_cast<char32_t>(unit);
            }
            sink_.codePoint(cp);
            return true;
        }
        default:
            return false;
        }
        p_ += 2;
        sink_.codePoint(cp);
        return true;
    }

    bool number() {
        const unsigned char *start = p_;
        if (*p_ == '-')
            ++p_;
        if (p_ == end_)
            return false;
        if (*p_ == '0') {
            ++p_;
        } else if (*p_ >= '1' && *p_ <= '9') {
            while (p_ != end_ && isDigit(*p_))
                ++p_;
        } else {
            return false;
        }
        if (p_ != end_ && *p_ == '.') {
            ++p_;
            if (p_ == end_ || !isDigit(*p_))
                return false;
            while (p_ != end_ && isDigit(*p_))
                ++p_;
        }
        if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
            ++p_;
            if (p_ != end_ && (*p_ == '+' || *p_ == '-'))
                ++p_;
            if (p_ == end_ || !isDigit(*p_))
                return false;
            while (p_ != end_ && isDigit(*p_))
                ++p_;
        }
        sink_.scalar(reinterpret_cast<const char *>(start), static_cast<std::size_t>(p_ - start));
        return true;
    }

    bool literal(const char *word, std::size_t n) {
        if (static_cast<std::size_t>(end_ - p_) < n || std::memcmp(p_, word, n) != 0)
            return false;
        sink_.scalar(word, n);
        p_ += n;
        return true;
    }

    const unsigned char *p_;
    const unsigned char *end_;
    Sink &sink_;
    std::string stack_; // the open brackets, innermost last
};

// ---------------------------------------------------------------------------------------------
// Sinks
// ---------------------------------------------------------------------------------------------

struct NoSink {
    void emptyContainer(unsigned char, unsigned char, std::size_t) {}
    void open(unsigned char) {}
    void elementStart(bool, std::size_t) {}
    void close(unsigned char, std::size_t) {}
    void stringStart(bool) {}
    void plain(const char *, std::size_t) {}
    void codePoint(char32_t) {}
    void stringEnd(bool) {}
    void nameSeparator() {}
    void scalar(const char *, std::size_t) {}
};

// Collects the decoded names of the top-level members and notes whether one is the asked name.
class MemberNameSink : public NoSink {
public:
    explicit MemberNameSink(std::string_view wanted) : wanted_(wanted) {}

    void open(unsigned char) { ++depth_; }
    void close(unsigned char, std::size_t) { --depth_; }
    void stringStart(bool isName) {
        collecting_ = isName && depth_ == 1;
        name_.clear();
    }
    void plain(const char *p, std::size_t n) {
        if (collecting_ && name_.size() <= wanted_.size())
            name_.append(p, n);
    }
    void codePoint(char32_t cp) {
        if (!collecting_ || name_.size() > wanted_.size())
            return;
        char buf[4];
        const char *end = encodeUtf8(cp, buf);
        name_.append(buf, static_cast<std::size_t>(end - buf));
    }
    void stringEnd(bool) {
        if (collecting_ && name_ == wanted_)
            found_ = true;
        collecting_ = false;
    }

    bool found() const { return found_; }

private:
    std::string_view wanted_;
    std::string name_;
    std::size_t depth_ = 0;
    bool collecting_ = false;
    bool found_ = false;
};

// Where the laid-out text goes: first only counted, then written.
struct CountingOut {
    std::size_t size = 0;
    void put(char) { ++size; }
    void append(const char *, std::size_t n) { size += n; }
    void spaces(std::size_t n) { size += n; }
    void utf8(char32_t cp) { size += utf8Length(cp); }
};

struct WritingOut {
    char *out;
    void put(char c) { *out++ = c; }
    void append(const char *p, std::size_t n) {
        std::memcpy(out, p, n);
        out += n;
    }
    void spaces(std::size_t n) {
        std::memset(out, ' ', n);
        out += n;
    }
    void utf8(char32_t cp) { out = encodeUtf8(cp, out); }
};

constexpr std::size_t indentStep = 4;

template <class Out>
class LayoutSink {
public:
    explicit LayoutSink(Out &out) : out_(out) {}

    void emptyContainer(unsigned char open, unsigned char close, std::size_t level) {
        out_.put(static_cast<char>(open));
        lineBreak(level);
        out_.put(static_cast<char>(close));
    }
    void open(unsigned char bracket) { out_.put(static_cast<char>(bracket)); }
    void elementStart(bool first, std::size_t depth) {
        if (!first)
            out_.put(',');
        lineBreak(depth);
    }
    void close(unsigned char bracket, std::size_t depth) {
        lineBreak(depth - 1);
        out_.put(static_cast<char>(bracket));
    }
    void stringStart(bool) { out_.put('"'); }
    void plain(const char *p, std::size_t n) { out_.append(p, n); }
    void codePoint(char32_t cp) {
        switch (cp) {
        case '"': out_.append("\\\"", 2); break;
        case '\\': out_.append("\\\\", 2); break;
        case '\b': out_.append("\\b", 2); break;
        case '\t': out_.append("\\t", 2); break;
        case '\n': out_.append("\\n", 2); break;
        case '\f': out_.append("\\f", 2); break;
        case '\r': out_.append("\\r", 2); break;
        default: out_.utf8(cp); break; // the slash, other control characters, all the rest
        }
    }
    void stringEnd(bool) { out_.put('"'); }
    void nameSeparator() { out_.append(": ", 2); }
    void scalar(const char *p, std::size_t n) { out_.append(p, n); }

private:
    void lineBreak(std::size_t level) {
        out_.append("\r\n", 2);
        out_.spaces(level * indentStep);
    }

    Out &out_;
};

template <class Sink>
bool readWith(std::string_view text, const Rules &rules, Sink &sink) {
    return Reader<Sink>(text, sink).read(rules);
}

} // namespace

bool isViewerValid(std::string_view text) {
    NoSink sink;
    return readWith(text, viewerRules, sink);
}

bool isOneJsonText(std::string_view text) {
    NoSink sink;
    return readWith(text, oneTextRules, sink);
}

TopLevel inspectTopLevel(std::string_view text, std::string_view memberName) {
    MemberNameSink sink(memberName);
    if (!readWith(text, oneTextRules, sink))
        return {TopKind::NotJson, false};
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(static_cast<unsigned char>(text[i])))
        ++i;
    if (text[i] != '{')
        return {TopKind::OtherValue, false};
    return {TopKind::Object, sink.found()};
}

TopKind topKind(std::string_view text) { return inspectTopLevel(text, {}).kind; }

bool hasTopLevelMember(std::string_view text, std::string_view memberName) {
    return inspectTopLevel(text, memberName).hasMember;
}

std::optional<std::string> layOut(std::string_view text, std::size_t maxSize) {
    CountingOut counting;
    LayoutSink<CountingOut> measure(counting);
    if (!readWith(text, viewerRules, measure) || counting.size > maxSize)
        return std::nullopt;
    std::string result;
    result.resize(counting.size);
    WritingOut writing{result.data()};
    LayoutSink<WritingOut> write(writing);
    readWith(text, viewerRules, write);
    return result;
}

} // namespace wik::json

#include "editor/JsonReindent.h"

namespace {

// A strict JSON reader that writes what it reads, token by token, laid out anew.
class Reindenter {
public:
    explicit Reindenter(const QString& text) : s_(text) {}

    std::optional<QString> run() {
        skipBlanks();
        if (pos_ >= s_.size() || (s_[pos_] != u'{' && s_[pos_] != u'[')) return std::nullopt;
        if (!value(0)) return std::nullopt;
        skipBlanks();
        if (pos_ != s_.size()) return std::nullopt;
        return out_;
    }

private:
    // Deeper nesting is refused rather than risking the stack.
    static constexpr int kMaxDepth = 512;

    void skipBlanks() {
        while (pos_ < s_.size()) {
            const char16_t c = s_[pos_].unicode();
            if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') break;
            ++pos_;
        }
    }
    void newline(int depth) {
        out_ += u'\n';
        out_ += QString(depth * 2, u' ');
    }
    bool at(char16_t c) const { return pos_ < s_.size() && s_[pos_].unicode() == c; }

    bool value(int depth) {
        if (depth > kMaxDepth) return false;
        skipBlanks();
        if (pos_ >= s_.size()) return false;
        switch (s_[pos_].unicode()) {
        case u'{':
            return container(depth, u'}', true);
        case u'[':
            return container(depth, u']', false);
        case u'"':
            return string();
        case u't':
            return literal(QStringLiteral("true"));
        case u'f':
            return literal(QStringLiteral("false"));
        case u'n':
            return literal(QStringLiteral("null"));
        default:
            return number();
        }
    }

    bool container(int depth, char16_t close, bool object) {
        out_ += s_[pos_++];
        skipBlanks();
        if (at(close)) {
            out_ += s_[pos_++];
            return true;
        }
        for (;;) {
            newline(depth + 1);
            if (object) {
                skipBlanks();
                if (!at(u'"') || !string()) return false;
                skipBlanks();
                if (!at(u':')) return false;
                ++pos_;
                out_ += QStringLiteral(": ");
            }
            if (!value(depth + 1)) return false;
            skipBlanks();
            if (at(u',')) {
                ++pos_;
                out_ += u',';
                continue;
            }
            if (!at(close)) return false;
            ++pos_;
            newline(depth);
            out_ += QChar(close);
            return true;
        }
    }

    bool string() {
        const qsizetype start = pos_++;
        while (pos_ < s_.size()) {
            const char16_t c = s_[pos_].unicode();
            if (c == u'"') {
                ++pos_;
                out_ += QStringView(s_).mid(start, pos_ - start);
                return true;
            }
            if (c < 0x20) return false;
            if (c == u'\\') {
                if (++pos_ >= s_.size()) return false;
                const char16_t e = s_[pos_].unicode();
                if (e == u'u') {
                    for (int i = 1; i <= 4; ++i)
                        if (pos_ + i >= s_.size() || !isHex(s_[pos_ + i].unicode())) return false;
                    pos_ += 4;
                } else if (!QStringView(u"\"\\/bfnrt").contains(QChar(e))) {
                    return false;
                }
            }
            ++pos_;
        }
        return false;
    }

    static bool isHex(char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    }
    bool digit() const { return pos_ < s_.size() && s_[pos_] >= u'0' && s_[pos_] <= u'9'; }
    bool digits() {
        if (!digit()) return false;
        while (digit()) ++pos_;
        return true;
    }

    bool number() {
        const qsizetype start = pos_;
        if (at(u'-')) ++pos_;
        if (at(u'0'))
            ++pos_;
        else if (!digits())
            return false;
        if (at(u'.')) {
            ++pos_;
            if (!digits()) return false;
        }
        if (at(u'e') || at(u'E')) {
            ++pos_;
            if (at(u'+') || at(u'-')) ++pos_;
            if (!digits()) return false;
        }
        out_ += QStringView(s_).mid(start, pos_ - start);
        return true;
    }

    bool literal(const QString& word) {
        if (QStringView(s_).mid(pos_, word.size()) != word) return false;
        pos_ += word.size();
        out_ += word;
        return true;
    }

    const QString& s_;
    qsizetype pos_ = 0;
    QString out_;
};

} // namespace

std::optional<QString> reindentJson(const QString& text) {
    return Reindenter(text).run();
}

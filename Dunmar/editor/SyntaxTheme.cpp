#include "editor/SyntaxTheme.h"

namespace syntaxtheme {
namespace {

struct Pair {
    QColor dark;
    QColor light;
};

// Kinds that read alike share a colour: prose markup takes the colour of the code construct it
// resembles (a heading reads as a keyword, emphasis as a string, a quote as a comment).
Pair pairOf(TokenKind kind) {
    const Pair comment{QColor(106, 153, 85), QColor(0, 128, 0)};
    const Pair string{QColor(206, 145, 120), QColor(163, 21, 21)};
    const Pair number{QColor(181, 206, 168), QColor(9, 134, 88)};
    const Pair keyword{QColor(86, 156, 214), QColor(0, 0, 255)};
    const Pair function{QColor(220, 220, 170), QColor(121, 94, 38)};
    const Pair key{QColor(156, 220, 254), QColor(0, 16, 128)};
    const Pair link{QColor(78, 201, 176), QColor(0, 112, 112)};
    switch (kind) {
    case TokenKind::comment:
    case TokenKind::quote:
        return comment;
    case TokenKind::string:
    case TokenKind::emphasis:
        return string;
    case TokenKind::number:
    case TokenKind::code:
        return number;
    case TokenKind::keyword:
    case TokenKind::heading:
        return keyword;
    case TokenKind::function:
    case TokenKind::option:
    case TokenKind::strong:
    case TokenKind::listMarker:
    case TokenKind::section:
        return function;
    case TokenKind::key:
    case TokenKind::variable:
        return key;
    case TokenKind::link:
    case TokenKind::meta:
        return link;
    case TokenKind::annotation:
        return {QColor(197, 134, 192), QColor(175, 0, 219)};
    case TokenKind::tag:
        return {QColor(78, 201, 176), QColor(128, 0, 0)};
    case TokenKind::attribute:
        return {QColor(156, 220, 254), QColor(229, 0, 0)};
    case TokenKind::type:
        return {QColor(78, 201, 176), QColor(38, 127, 153)};
    case TokenKind::punctuation:
        return {QColor(128, 128, 128), QColor(85, 85, 85)};
    case TokenKind::selector:
        return {QColor(215, 186, 125), QColor(128, 0, 0)};
    case TokenKind::property:
        return {QColor(156, 220, 254), QColor(255, 0, 0)};
    case TokenKind::colorLiteral:
        return {QColor(78, 201, 176), QColor(9, 134, 88)};
    case TokenKind::verbatim:
        return {QColor(212, 212, 212), QColor(51, 51, 51)};
    case TokenKind::divider:
        return {QColor(128, 128, 128), QColor(136, 136, 136)};
    }
    return {};
}

} // namespace

QColor colourOf(TokenKind kind, bool dark) {
    const Pair pair = pairOf(kind);
    return dark ? pair.dark : pair.light;
}

const char* nameOf(TokenKind kind) {
    switch (kind) {
#define DUNMAR_TOKEN_KIND_NAME(name)                                                                         \
    case TokenKind::name:                                                                                    \
        return #name;
        DUNMAR_TOKEN_KINDS(DUNMAR_TOKEN_KIND_NAME)
#undef DUNMAR_TOKEN_KIND_NAME
    }
    return "";
}

} // namespace syntaxtheme

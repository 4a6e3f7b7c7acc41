#pragma once

#include <QColor>

// What a highlighting rule says its text is. The rules name kinds, never colours; the theme below
// gives each kind its colour in the dark and the light palette, so a new language takes the
// colours every other language has for the same kind.
#define DUNMAR_TOKEN_KINDS(X)                                                                                \
    X(comment)                                                                                               \
    X(quote) /* a quoted passage of prose (Markdown's "> ") */                                               \
    X(string)                                                                                                \
    X(emphasis) /* Markdown's *emphasis* */                                                                  \
    X(number)   /* numbers and dates */                                                                      \
    X(code)     /* Markdown's code spans and blocks */                                                       \
    X(keyword)  /* keywords, literal constants, declarations such as <!DOCTYPE> */                           \
    X(heading)                                                                                               \
    X(function) /* called and built-in functions, commands */                                                \
    X(option)   /* a command's --option */                                                                   \
    X(strong)   /* Markdown's **strong** text */                                                             \
    X(listMarker)                                                                                            \
    X(section)    /* a [section] header of a settings file */                                                \
    X(key)        /* the key of a key-value pair */                                                          \
    X(variable)   /* an expanded $variable */                                                                \
    X(annotation) /* decorators, attributes, at-rules, anchors, processing instructions */                   \
    X(link)                                                                                                  \
    X(meta)      /* YAML's document markers and tags */                                                      \
    X(tag)       /* a markup tag's name */                                                                   \
    X(attribute) /* a markup attribute's name */                                                             \
    X(type)                                                                                                  \
    X(punctuation)                                                                                           \
    X(selector) /* a style sheet's selector */                                                               \
    X(property) /* a style sheet's property */                                                               \
    X(colorLiteral)                                                                                          \
    X(verbatim) /* character data taken as it stands (CDATA) */                                              \
    X(divider)  /* a horizontal rule */

enum class TokenKind {
#define DUNMAR_TOKEN_KIND_ENUM(name) name,
    DUNMAR_TOKEN_KINDS(DUNMAR_TOKEN_KIND_ENUM)
#undef DUNMAR_TOKEN_KIND_ENUM
};

namespace syntaxtheme {

// The colour of a kind in the dark (true) or light palette.
QColor colourOf(TokenKind kind, bool dark);
// The kind's name as written above ("comment", "listMarker").
const char* nameOf(TokenKind kind);

} // namespace syntaxtheme

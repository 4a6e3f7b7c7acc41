#pragma once

#include <QString>

// Spoken test audio made on the spot: espeak-ng says the words, sox turns them into the 16 kHz
// mono 16-bit WAV the recogniser takes. The files live for the whole test program.
namespace speechfixtures {

// The WAV of `words`; an empty string when a tool failed (the reason is printed).
QString spokenWav(const QString& words);
// A JSGF grammar that knows a handful of commands, "list all files" among them.
QString commandGrammar();

} // namespace speechfixtures

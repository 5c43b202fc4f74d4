#pragma once

// The single entry for every character of a printed e-mail. It decodes the
// quoted-printable escapes =3D and =20, drops other "=" escapes, and hands
// the rest to the text flow.
//
// The text flow is reached through a sink: the e-mail printer installs
// `SetMailCharSink` with a function that calls the print engine's
// PutFlowChar; tests install one that records the characters.

namespace email {

using MailCharSink = void (*)(char16_t ch);

void SetMailCharSink(MailCharSink sink);

// Passes zero to three characters on to the sink. The escape state persists
// between calls.
int PutMailChar(char16_t ch);

// Passes one character of text the message store has already decoded
// (header values, the PR_BODY_W body) straight to the sink: in such text an
// "=" is an ordinary character, and the escape filter would eat it and what
// follows it.
int PutDecodedMailChar(char16_t ch);

// Returns the escape state to plain text. The program never needs it (every
// escape ends by itself); tests and fuzzers use it to start clean.
void ResetMailCharFilter();

} // namespace email

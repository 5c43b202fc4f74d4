#pragma once

// The RTF reader: prints an RTF document held whole in the source buffer.
// It reads the document byte by byte, keeps a stack of group states, turns
// control words into format changes and special actions, and gives document
// text to the text flow as UTF-16 characters.

#include <cstdint>

namespace rtf {

// Error codes of the reader; every one ends the document with the one
// message "Error parsing rtf".
enum RtfError : int {
    kRtfOk = 0,
    kRtfStackUnderflow = 1,
    kRtfStackOverflow = 2, // no room for another group
    kRtfUnmatchedBrace = 3,
    kRtfInvalidHex = 4,
    kRtfBadTable = 5,
    kRtfBadInputState = 6,
    kRtfEndOfFile = 7, // end of input inside a control word or binary data
    kRtfNoMemory = 9,
};

inline constexpr int kRtfPrinted = 0;
inline constexpr int kRtfNotPrinted = 1;

// Prints the document in SourceData: opens the print job, parses, shows
// "Error parsing rtf" on an error and always ends the job, so the pages laid
// out before an error still print. Returns kRtfPrinted, or kRtfNotPrinted
// when there is no source, the job did not start, or parsing failed.
int RtfPrintDocument();

// Reads the whole source into the open print job; returns an RtfError.
int RtfParse();

// Forgets every piece of reader state (group stack, destination, picture);
// the start of every document does the same. For tests.
void ResetRtfReader();

} // namespace rtf

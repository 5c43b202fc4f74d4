#pragma once

// What fontconfig answered for the faces the library asked for, kept in a
// file of our own so that a later process finds its faces without loading
// fontconfig's configuration at all.
//
// The file names, beside the answers, every path whose change could change
// an answer (fontconfig's configuration files, font folders and cache
// folders, with their modification times) and the environment fontconfig
// reads. It is trusted only while all of these are as they were; a file that
// is damaged, truncated or stale is ignored, and the next answer rewrites it
// whole (a temporary file renamed over it, never a partial file). A file
// that cannot be read or written is no error: fontconfig answers instead.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise {

// One answer: the face file and what the library reads of the match.
struct FaceMatch {
    std::string File;
    int Index = 0;
    std::string Family;
    int Weight = 0; // fontconfig's weight scale
    int Slant = 0; // fontconfig's slant scale
    bool Embolden = false;
    uint8_t CharSet = 0; // the character set the face stands for
    bool FixedPitch = false;
    std::string Format; // fontconfig's name of the outline format

    bool operator==(const FaceMatch&) const = default;
};

// The text of a cache file with its closing record, the checksum of the
// text before it, appended.
std::string SealFontMatches(std::string text);

class FontMatchCache {
public:
    // A cache kept in `file`; an empty path keeps answers in memory only.
    // `context` names what else the answers depend on (the environment
    // fontconfig reads, its version): a file made in another context is
    // stale.
    FontMatchCache(std::filesystem::path file, std::string context);

    // The file of the user's cache: $XDG_CACHE_HOME/tallowin/font-matches,
    // else ~/.cache/tallowin/font-matches; empty when PLOTWISE_FONT_CACHE
    // is 0 or neither folder is known.
    static std::filesystem::path UserFile();

    // The answer kept for a request; none when the request is new or the
    // file is not to be trusted.
    std::optional<FaceMatch> Find(const std::string& request);

    // Keeps an answer and rewrites the file with every answer still valid.
    // `watched` lists the paths whose modification times the answers
    // depend on. False when the file could not be written.
    bool Store(const std::string& request, const FaceMatch& match, const std::vector<std::string>& watched);

    // Takes the answers of a file's text when it is whole, made in this
    // context and current; false (and nothing taken) otherwise.
    bool Parse(std::string_view text);

private:
    void Load();
    bool Write() const;

    std::filesystem::path file_;
    std::string context_;
    bool loaded_ = false;
    std::vector<std::string> watched_;
    std::map<std::string, FaceMatch> matches_;
};

} // namespace plotwise

#pragma once

#include <string>
#include <string_view>
#include <vector>

// The streams of an input as the encoder's probe lists them, in FFmpeg's own form, and the words
// both sides use for them: the window's pick lists and the encoder's log name a track the same way.
namespace protocol {

enum class TrackKind { Video, Audio, Subtitle, Data, Attachment, Unknown };

struct Track {
    int index = 0; // the stream's position in its input, as FFmpeg's "-map 0:N" counts
    TrackKind kind = TrackKind::Unknown;
    std::string codec;    // FFmpeg's codec name: "ac3", "subrip", "dvd_subtitle"
    std::string language; // as tagged, an ISO 639-2 code; empty when untagged or "und"
    std::string title;
    // What FFmpeg writes after the codec: "48000 Hz, 5.1(side)", "yuv420p, 320x240, 25.00 fps".
    std::string details;
    std::string channels; // audio only: "5.1(side)", "stereo"
    bool isDefault = false;
    bool isForced = false;
};

std::string_view kindName(TrackKind kind); // "Video", "Audio", "Subtitle", ...

// A subtitle drawn as pictures (DVD, Blu-ray, DVB): it can be burned in, but only some containers
// hold it as a track.
bool isPictureSubtitle(std::string_view codec);

// "    Stream #0:1(eng): Audio: ac3, 48000 Hz, 5.1(side) (default)", then for a title FFmpeg's
// "      Metadata:" and "        title           : Commentary" lines.
std::vector<std::string> streamListing(const Track &track);

// Every track a probe report lists, in its order; lines that are no stream of it are passed over.
// Reads the older "Stream #0.1: Audio: ..." form too.
std::vector<Track> tracksOfReport(std::string_view report);

// How the window and the log name a track: "1: English AC-3 5.1", "3: German SubRip (forced)",
// "2: AAC stereo" for an untagged one.
std::string trackLabel(const Track &track);
// "H.264" for "h264", "AC-3" for "ac3": the format's name as people say it.
std::string codecLabel(const std::string &codec);
// "English" for "eng" or "en"; the code itself when it names no language we know; empty for none.
std::string languageName(std::string_view code);
// "ger" and "deu" are one language, as are "fre" and "fra": tags use either.
bool sameLanguage(std::string_view a, std::string_view b);
// "eng, ger" as an ordered list of lower-case codes, blanks and empty entries dropped.
std::vector<std::string> languageList(std::string_view commaSeparated);

} // namespace protocol

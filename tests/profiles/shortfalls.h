#pragma once

#include "profiles/mediafacts.h"

#include <QSize>
#include <QString>
#include <QStringList>

// What a shipped profile's output must hold, told from the arguments it was made with.
namespace outputpromises {

// The clip every profile converts.
inline const QSize ClipSize(160, 120);
inline constexpr double ClipFramesPerSecond = 10;
inline constexpr int ClipSampleRate = 44100;

// The switches the shipped profiles use; a new one must say here what it promises, if anything.
inline const QStringList BareSwitches = {"-vn", "-an", "-bitexact"};
inline const QStringList ValueSwitches = {"-c:v",
                                          "-video-box",
                                          "-b:v",
                                          "-r",
                                          "-source-aspect",
                                          "-c:a",
                                          "-b:a",
                                          "-ar",
                                          "-ac",
                                          "-af",
                                          "-vf",
                                          "-pix_fmt",
                                          "-preset",
                                          "-profile:v",
                                          "-movflags",
                                          "-vtag",
                                          "-cpu-used",
                                          "-row-mt",
                                          "-fit",
                                          "-audio-tracks",
                                          "-subtitles",
                                          "-burn-subtitles",
                                          "-video-ceiling"};
// The encoder's own switch: a most, not a rate, since an easy source gets less; no promise here.
inline const QString CeilingSwitch = QStringLiteral("-video-ceiling");
// The encoder's own switch: FFmpeg never sees it, and the encoder's tests check the size it keeps.
inline const QString FitSwitch = QStringLiteral("-fit");
// The encoder's own switch: a stream it copies keeps every promise a converted one would.
inline const QString KeepSwitch = QStringLiteral("-keep-streams");
// The encoder's own track rules, which its tests check on clips of several tracks.
inline const QStringList TrackSwitches = {"-audio-tracks", "-subtitles", "-burn-subtitles"};

// Every way the output falls short of what its encoder arguments promise.
QStringList shortfalls(const QStringList &arguments, const QString &type, const MediaFacts &facts);

} // namespace outputpromises

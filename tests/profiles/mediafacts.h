#pragma once

#include <QSize>
#include <QString>

#include <optional>

// What libavformat says about a converted file.
struct StreamFacts {
    QString codec;
    QSize frameSize;
    double framesPerSecond = 0;
    double displayAspect = 0;
    int sampleRate = 0;
    int channels = 0;
};

struct MediaFacts {
    QString formatName;
    QString majorBrand;   // of the MP4 family
    QByteArray fileStart; // Matroska's document type ("webm", "matroska") is written here
    std::optional<StreamFacts> video;
    std::optional<StreamFacts> audio;
};

std::optional<MediaFacts> mediaFacts(const QString &path);

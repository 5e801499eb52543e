#include "probe/probefacts.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace encoder {

namespace {

constexpr int FactsVersion = 1;
constexpr auto FactsEncoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// What tells that the file is still the one probed. The change time moves on every write,
// rename or replacement, and no program can set it back.
QJsonObject identityOf(const std::string &path)
{
    const QFileInfo file(QString::fromStdString(path));
    if (!file.isFile())
        return {};
    return {{"size", double(file.size())},
            {"modified", double(file.lastModified().toMSecsSinceEpoch())},
            {"changed", double(file.metadataChangeTime().toMSecsSinceEpoch())}};
}

QString text(const std::string &value)
{
    return QString::fromStdString(value);
}

void putNumber(QJsonObject &object, const char *key, const std::optional<double> &value)
{
    if (value)
        object.insert(key, *value);
}

void putNumber(QJsonObject &object, const char *key, const std::optional<std::int64_t> &value)
{
    if (value)
        object.insert(key, double(*value));
}

std::optional<double> numberAt(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

std::optional<std::int64_t> integerAt(const QJsonObject &object, const char *key)
{
    const auto number = numberAt(object, key);
    return number ? std::optional<std::int64_t>(std::int64_t(*number)) : std::nullopt;
}

std::string textAt(const QJsonObject &object, const char *key)
{
    return object.value(key).toString().toStdString();
}

// Only what differs from a new StreamInfo is written: the line travels on every command line.
void putText(QJsonObject &object, const char *key, const std::string &value)
{
    if (!value.empty())
        object.insert(key, text(value));
}

void putInteger(QJsonObject &object, const char *key, int value)
{
    if (value != 0)
        object.insert(key, value);
}

void putFlag(QJsonObject &object, const char *key, bool value)
{
    if (value)
        object.insert(key, true);
}

QJsonObject streamObject(const StreamInfo &stream)
{
    QJsonObject object;
    putText(object, "kind", stream.kind);
    putText(object, "codec", stream.codec);
    putText(object, "pixelFormat", stream.pixelFormat);
    putInteger(object, "width", stream.width);
    putInteger(object, "height", stream.height);
    putNumber(object, "fps", stream.framesPerSecond);
    putNumber(object, "pixelAspect", stream.pixelAspect);
    putInteger(object, "rotation", stream.rotation);
    putText(object, "profile", stream.profile);
    putInteger(object, "level", stream.level);
    putInteger(object, "sampleRate", stream.sampleRate);
    putText(object, "channels", stream.channels);
    putNumber(object, "duration", stream.durationSeconds);
    putNumber(object, "bitRate", stream.bitRate);
    putText(object, "language", stream.language);
    putText(object, "title", stream.title);
    putFlag(object, "default", stream.isDefault);
    putFlag(object, "forced", stream.isForced);
    putFlag(object, "picture", stream.attachedPicture);
    return object;
}

StreamInfo streamInfo(const QJsonObject &object)
{
    StreamInfo stream;
    stream.kind = textAt(object, "kind");
    stream.codec = textAt(object, "codec");
    stream.pixelFormat = textAt(object, "pixelFormat");
    stream.width = object.value("width").toInt();
    stream.height = object.value("height").toInt();
    stream.framesPerSecond = numberAt(object, "fps");
    stream.pixelAspect = numberAt(object, "pixelAspect");
    stream.rotation = object.value("rotation").toInt();
    stream.profile = textAt(object, "profile");
    stream.level = object.value("level").toInt();
    stream.sampleRate = object.value("sampleRate").toInt();
    stream.channels = textAt(object, "channels");
    stream.durationSeconds = numberAt(object, "duration");
    stream.bitRate = integerAt(object, "bitRate");
    stream.language = textAt(object, "language");
    stream.title = textAt(object, "title");
    stream.isDefault = object.value("default").toBool();
    stream.isForced = object.value("forced").toBool();
    stream.attachedPicture = object.value("picture").toBool();
    return stream;
}

} // namespace

std::string factsLine(const std::string &path, const MediaInfo &info)
{
    const QJsonObject identity = identityOf(path);
    if (identity.isEmpty())
        return {};
    QJsonArray streams;
    for (const StreamInfo &stream : info.streams)
        streams.append(streamObject(stream));
    QJsonObject facts{{"version", FactsVersion},
                      {"file", identity},
                      {"format", text(info.formatName)},
                      {"durationGuessed", info.durationGuessed},
                      {"streams", streams}};
    putNumber(facts, "duration", info.durationSeconds);
    putNumber(facts, "start", info.startSeconds);
    putNumber(facts, "bitRate", info.bitRate);
    // No blank, quote or line break inside: the line is one word of a command line.
    const QByteArray json = QJsonDocument(facts).toJson(QJsonDocument::Compact);
    return std::string(FactsLinePrefix) + json.toBase64(FactsEncoding).toStdString();
}

std::optional<MediaInfo> factsOf(const std::string &path, std::string_view encoded)
{
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray(encoded.data(), qsizetype(encoded.size())),
                                                        FactsEncoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QByteArray &json = *decoded;
    const QJsonObject facts = QJsonDocument::fromJson(json).object();
    if (facts.value("version").toInt() != FactsVersion || !facts.value("streams").isArray())
        return std::nullopt;
    const QJsonObject identity = identityOf(path);
    if (identity.isEmpty() || facts.value("file").toObject() != identity)
        return std::nullopt;
    MediaInfo info;
    info.formatName = textAt(facts, "format");
    info.durationSeconds = numberAt(facts, "duration");
    info.durationGuessed = facts.value("durationGuessed").toBool();
    info.startSeconds = numberAt(facts, "start");
    info.bitRate = integerAt(facts, "bitRate");
    for (const QJsonValue &stream : facts.value("streams").toArray())
        info.streams.push_back(streamInfo(stream.toObject()));
    return info;
}

} // namespace encoder

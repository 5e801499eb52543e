#include "probe/probefacts.h"

#include "core/platform/plainfiles.h"
#include "probe/factstext.h"

namespace encoder {

namespace {

constexpr std::string_view FactsVersion = "2";

// Only what differs from a new StreamInfo is written: the line travels on every command line.
class Writer {
public:
    explicit Writer(FactsRecord &record) : m_record(record) {}
    void text(const char *key, const std::string &value)
    {
        if (!value.empty())
            m_record[key] = value;
    }
    void integer(const char *key, long long value)
    {
        if (value != 0)
            m_record[key] = std::to_string(value);
    }
    void integer(const char *key, const std::optional<std::int64_t> &value)
    {
        if (value)
            m_record[key] = std::to_string(*value);
    }
    void number(const char *key, const std::optional<double> &value)
    {
        if (value)
            m_record[key] = numberText(*value);
    }
    void flag(const char *key, bool value)
    {
        if (value)
            m_record[key] = "1";
    }

private:
    FactsRecord &m_record;
};

// A field missing is a value left at its default; one that does not read spoils the whole.
class Reader {
public:
    explicit Reader(const FactsRecord &record) : m_record(record) {}
    bool good() const { return m_good; }
    std::string text(const char *key) const
    {
        const auto found = m_record.find(key);
        return found == m_record.end() ? std::string() : found->second;
    }
    template <typename Integer> Integer integer(const char *key) { return optionalInteger(key).value_or(0); }
    std::optional<std::int64_t> optionalInteger(const char *key)
    {
        const auto found = m_record.find(key);
        if (found == m_record.end())
            return std::nullopt;
        const auto value = integerOf(found->second);
        m_good = m_good && value;
        return value;
    }
    std::optional<double> number(const char *key)
    {
        const auto found = m_record.find(key);
        if (found == m_record.end())
            return std::nullopt;
        const auto value = numberOf(found->second);
        m_good = m_good && value;
        return value;
    }
    bool flag(const char *key) { return integer<int>(key) != 0; }

private:
    const FactsRecord &m_record;
    bool m_good = true;
};

// What tells that the file is still the one probed: any change to it makes the facts stale.
void putIdentity(FactsRecord &record, const platform::FileIdentity &file)
{
    record["size"] = std::to_string(file.size);
    record["modified"] = std::to_string(file.modifiedNs);
    record["changed"] = std::to_string(file.changedNs);
}

FactsRecord streamRecord(const StreamInfo &stream)
{
    FactsRecord record;
    Writer put(record);
    put.text("kind", stream.kind);
    put.text("codec", stream.codec);
    put.text("pixelFormat", stream.pixelFormat);
    put.integer("width", stream.width);
    put.integer("height", stream.height);
    put.number("fps", stream.framesPerSecond);
    put.number("pixelAspect", stream.pixelAspect);
    put.integer("rotation", stream.rotation);
    put.text("profile", stream.profile);
    put.integer("level", stream.level);
    put.integer("sampleRate", stream.sampleRate);
    put.text("channels", stream.channels);
    put.number("duration", stream.durationSeconds);
    put.integer("bitRate", stream.bitRate);
    put.text("language", stream.language);
    put.text("title", stream.title);
    put.flag("default", stream.isDefault);
    put.flag("forced", stream.isForced);
    put.flag("picture", stream.attachedPicture);
    return record;
}

std::optional<StreamInfo> streamInfo(const FactsRecord &record)
{
    Reader get(record);
    StreamInfo stream;
    stream.kind = get.text("kind");
    stream.codec = get.text("codec");
    stream.pixelFormat = get.text("pixelFormat");
    stream.width = get.integer<int>("width");
    stream.height = get.integer<int>("height");
    stream.framesPerSecond = get.number("fps");
    stream.pixelAspect = get.number("pixelAspect");
    stream.rotation = get.integer<int>("rotation");
    stream.profile = get.text("profile");
    stream.level = get.integer<int>("level");
    stream.sampleRate = get.integer<int>("sampleRate");
    stream.channels = get.text("channels");
    stream.durationSeconds = get.number("duration");
    stream.bitRate = get.optionalInteger("bitRate");
    stream.language = get.text("language");
    stream.title = get.text("title");
    stream.isDefault = get.flag("default");
    stream.isForced = get.flag("forced");
    stream.attachedPicture = get.flag("picture");
    return get.good() ? std::optional(stream) : std::nullopt;
}

} // namespace

std::string factsLine(const std::string &path, const MediaInfo &info)
{
    const auto file = platform::fileIdentity(path);
    if (!file)
        return {};
    // The first record is the file's and the container's, then one a stream.
    std::vector<FactsRecord> records(1);
    FactsRecord &media = records.front();
    media["version"] = FactsVersion;
    putIdentity(media, *file);
    Writer put(media);
    put.text("format", info.formatName);
    put.flag("durationGuessed", info.durationGuessed);
    put.number("duration", info.durationSeconds);
    put.number("start", info.startSeconds);
    put.integer("bitRate", info.bitRate);
    for (const StreamInfo &stream : info.streams)
        records.push_back(streamRecord(stream));
    return std::string(FactsLinePrefix) + base64Url(factsText(records));
}

std::optional<MediaInfo> factsOf(const std::string &path, std::string_view encoded)
{
    const auto text = fromBase64Url(encoded);
    const auto records = text ? factsRecords(*text) : std::nullopt;
    if (!records || records->empty() || records->front().count("version") == 0 ||
        records->front().at("version") != FactsVersion)
        return std::nullopt;
    const FactsRecord &media = records->front();
    const auto file = platform::fileIdentity(path);
    if (!file)
        return std::nullopt;
    FactsRecord identity;
    putIdentity(identity, *file);
    for (const auto &[key, value] : identity) {
        const auto found = media.find(key);
        if (found == media.end() || found->second != value)
            return std::nullopt;
    }
    Reader get(media);
    MediaInfo info;
    info.formatName = get.text("format");
    info.durationSeconds = get.number("duration");
    info.durationGuessed = get.flag("durationGuessed");
    info.startSeconds = get.number("start");
    info.bitRate = get.optionalInteger("bitRate");
    for (std::size_t n = 1; n < records->size(); ++n) {
        auto stream = streamInfo((*records)[n]);
        if (!stream)
            return std::nullopt;
        info.streams.push_back(std::move(*stream));
    }
    if (!get.good())
        return std::nullopt;
    return info;
}

} // namespace encoder

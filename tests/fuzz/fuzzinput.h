#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// The fuzzer's bytes as the text an outside file or program would give.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Splits off the first line, so that one input can carry a short header (a path, spans) before
// the text under test; the seed files keep both readable.
struct HeaderAndBody {
    QByteArray header;
    QByteArray body;
};

inline HeaderAndBody splitHeader(const QByteArray &input)
{
    const qsizetype end = input.indexOf('\n');
    if (end < 0)
        return {input, {}};
    return {input.left(end), input.mid(end + 1)};
}

// Piece lengths for cutting a text the way pipe reads cut it: small, awkward and repeatable,
// steered by the input's own bytes.
class Cutter {
public:
    explicit Cutter(QByteArrayView steering)
    {
        for (const char c : steering)
            m_state = m_state * 31 + uint8_t(c);
        if (m_state == 0)
            m_state = 1;
    }

    qsizetype nextLength(qsizetype left)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        // Mostly tiny pieces, now and then a whole read's worth.
        const qsizetype length = (m_state % 8 == 0) ? qsizetype(m_state % 4096) + 1 : qsizetype(m_state % 17) + 1;
        return length < left ? length : left;
    }

private:
    uint64_t m_state = 88172645463325252ull;
};

// One folder for the whole run: the parsers under test read real files.
inline QString scratchPath(const QString &name)
{
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/velkor-fuzz-XXXXXX"));
    return folder.path() + QLatin1Char('/') + name;
}

inline QString writeScratchFile(const QString &name, const QByteArray &content)
{
    const QString path = scratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        abort();
    return path;
}

// A broken rule of the program: stop the run so the input is kept as a finding.
[[noreturn]] inline void fail(const char *what)
{
    fprintf(stderr, "fuzz check failed: %s\n", what);
    abort();
}

inline void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

} // namespace fuzz

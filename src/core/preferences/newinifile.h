#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace preferences {

// The program's own INI reader and writer: the whole file held as lines, sections and keys found
// by plain text search, and the file written back in one piece by SaveAndFree. Preferences.ini is
// also read by platform::IniFile, so these search rules must not be "improved".
//
// Objects exist only behind a std::unique_ptr from Create, and SaveAndFree takes that pointer
// over, so an object cannot be used after it has been saved.
class TNewInifile {
public:
    // Reads the file when it exists; a missing file gives an empty object.
    static std::unique_ptr<TNewInifile> Create(const QString &fileName);
    // Writes every line, each ending in CR LF, to FileName atomically and destroys the object,
    // also when writing fails; then EFCreateError is thrown and the file keeps its old content.
    static void SaveAndFree(std::unique_ptr<TNewInifile> inifile);

    TNewInifile(const TNewInifile &) = delete;
    TNewInifile &operator=(const TNewInifile &) = delete;

    const QString &FileName() const { return m_fileName; }

    QString SectionText(const QString &section) const;
    static QString FindValue(const QString &key, const QStringList &lines, const QString &defaultValue);
    int FindSection(const QString &section) const;
    int FindKey(const QString &section, const QString &key) const;

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

private:
    explicit TNewInifile(const QString &fileName);

    QByteArray sectionBytes(const QString &section) const;

    QString m_fileName;
    // Kept as bytes so that a rewrite gives back every line it did not change exactly, even one
    // that is not valid UTF-8. Searching UTF-8 bytes finds what searching the text would.
    QByteArrayList m_lines;
    // The file as it was read. Writing the same bytes back is skipped, so that a file the user
    // may only read (a shipped profile) can still be read.
    std::optional<QByteArray> m_readContent;
};

} // namespace preferences

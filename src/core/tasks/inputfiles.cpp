#include "core/tasks/inputfiles.h"

#include "core/platform/filenames.h"
#include "core/platform/pathdelimiter.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace tasks {

const QStringList &SupportedInputExtensions()
{
    // The first eight are the program's original ones and keep their places in the open dialog;
    // the rest are the other video containers FFmpeg reads, phones' own 3GP first.
    static const QStringList extensions{
        QStringLiteral(".avi"),  QStringLiteral(".mpg"),  QStringLiteral(".mpeg"), QStringLiteral(".mp4"),
        QStringLiteral(".wmv"),  QStringLiteral(".mov"),  QStringLiteral(".vob"),  QStringLiteral(".asf"),
        QStringLiteral(".3gp"),  QStringLiteral(".3g2"),  QStringLiteral(".mkv"),  QStringLiteral(".webm"),
        QStringLiteral(".flv"),  QStringLiteral(".ogv"),  QStringLiteral(".m4v"),  QStringLiteral(".ts"),
        QStringLiteral(".mts"),  QStringLiteral(".m2ts"), QStringLiteral(".mxf"),  QStringLiteral(".dv"),
        QStringLiteral(".divx"), QStringLiteral(".f4v"),
    };
    return extensions;
}

QString SupportedFilesMask()
{
    QString mask;
    for (const QString &extension : SupportedInputExtensions())
        mask += QLatin1Char('*') + extension + QLatin1Char(';');
    return mask;
}

QString ExtractFileExt(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    const QString extension = name.mid(dot);
    if (extension.contains(platform::PathDelimiter) || extension.contains(QLatin1Char(':')))
        return {};
    return extension;
}

QString asciiLower(const QString &text)
{
    QString lower = text;
    for (QChar &c : lower) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return lower;
}

bool HasSupportedExtension(const QString &name)
{
    return SupportedInputExtensions().contains(asciiLower(ExtractFileExt(name)));
}

QStringList ListFilesWithExtension(const QString &directory, const QString &extension)
{
    const QString wanted = asciiLower(extension);
    const QStringList entries = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    QStringList names;
    for (const QString &entry : entries) {
        if (asciiLower(ExtractFileExt(entry)) == wanted)
            names << entry;
    }
    return names;
}

namespace {
// Without regard to case, and still the same order every time for names that differ only in it.
QStringList sortedByName(QStringList names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}
} // namespace

QStringList ListSupportedFiles(const QString &directory)
{
    const QDir folder(directory);
    QStringList names = folder.entryList(QDir::Files, QDir::Unsorted);
    // A name that is no UTF-8 comes with a replacement character, and names no file.
    names.removeIf([&folder](const QString &name) {
        return !HasSupportedExtension(name) || (name.contains(QChar::ReplacementCharacter) && !folder.exists(name));
    });
    return sortedByName(names);
}

QStringList UndecodableFileSentences(const QString &directory)
{
    const QByteArray folder = QFile::encodeName(platform::IncludeTrailingBackslash(QDir(directory).absolutePath()));
    QStringList sentences;
    for (const QByteArray &name : platform::undecodableNames(directory)) {
        if (HasSupportedExtension(QFile::decodeName(name)))
            sentences << QStringLiteral("\"%1\" is left out: its name is not UTF-8, so it cannot be opened.")
                             .arg(platform::escapedName(folder + name));
    }
    std::sort(sentences.begin(), sentences.end());
    return sentences;
}

QStringList ListSubfolders(const QString &directory)
{
    return sortedByName(QDir(directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted));
}

bool NeedsStreamCheck(const QString &path)
{
    return asciiLower(ExtractFileExt(path)) == QLatin1String(".ts");
}

} // namespace tasks

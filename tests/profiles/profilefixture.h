#pragma once

#include <QByteArray>
#include <QString>

// Writes a profile as the shipped ones are written: "\n" becomes CR LF.
bool writeProfileFile(const QString &path, QByteArray text);

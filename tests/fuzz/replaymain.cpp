// Feeds every file under the folders given to the fuzz target's entry point, so that the seeds
// and the inputs that once broke a parser run with every build, with or without libFuzzer.
#include <QDirIterator>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int replayed = 0;
    for (int n = 1; n < argc; ++n) {
        QDirIterator files(QString::fromLocal8Bit(argv[n]), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray input = file.readAll();
            fprintf(stderr, "%s\n", qPrintable(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
            ++replayed;
        }
    }
    printf("%d inputs replayed\n", replayed);
    // No input at all means the folders are wrong, not that every input passed.
    return replayed > 0 ? 0 : 1;
}

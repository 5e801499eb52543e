#include <QApplication>
#include <QTest>

#include <memory>

// Each file of this executable contributes one test object.
std::unique_ptr<QObject> makeTrackBarTest();
std::unique_ptr<QObject> makePreviewPlayerTest();
std::unique_ptr<QObject> makeMainFormPreviewTest();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeTrackBarTest, makePreviewPlayerTest, makeMainFormPreviewTest}) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

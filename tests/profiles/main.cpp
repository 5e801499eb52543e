#include <QApplication>
#include <QTest>

#include <memory>

// Each file of this executable contributes one test object.
std::unique_ptr<QObject> makeProfileFilesTest();
std::unique_ptr<QObject> makeParameterGridsTest();
std::unique_ptr<QObject> makeSizeFormTest();
std::unique_ptr<QObject> makeShippedProfilesTest();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeProfileFilesTest, makeParameterGridsTest, makeSizeFormTest, makeShippedProfilesTest}) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

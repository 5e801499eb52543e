#include <QApplication>
#include <QTest>

#include <memory>

// Each file of this executable contributes one test object.
std::unique_ptr<QObject> makeNewInifileTest();
std::unique_ptr<QObject> makeSettingFormTest();
std::unique_ptr<QObject> makeProfilePageTest();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeNewInifileTest, makeSettingFormTest, makeProfilePageTest}) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

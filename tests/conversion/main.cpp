#include <QApplication>
#include <QTest>

#include <memory>

// Each file of this executable contributes one test object.
std::unique_ptr<QObject> makeBatchRulesTest();
std::unique_ptr<QObject> makeBatchRunTest();
std::unique_ptr<QObject> makeBatchJobTest();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeBatchRulesTest, makeBatchJobTest, makeBatchRunTest}) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

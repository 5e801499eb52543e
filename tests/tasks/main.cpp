#include <QApplication>
#include <QTest>

#include <memory>

// Each file of this executable contributes one test object.
std::unique_ptr<QObject> makeTasksTest();
std::unique_ptr<QObject> makeAddInputsTest();
std::unique_ptr<QObject> makeTaskListEditingTest();
std::unique_ptr<QObject> makeInputContainersTest();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeTasksTest, makeAddInputsTest, makeTaskListEditingTest, makeInputContainersTest}) {
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

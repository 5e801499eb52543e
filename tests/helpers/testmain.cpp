// The one main of every test executable: each test file contributes one test object, and the
// executable fails when any of them does. Test functions named on the command line run in the
// objects that have them; the others are skipped rather than failed for not knowing them.
#include "helpers/testmain.h"

#ifdef VELKOR_TEST_CORE_ONLY
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif
#include <QMetaMethod>
#include <QTest>

#include <set>
#include <string>

namespace {

// QTest options that take the next argument as their value.
const std::set<std::string> OptionsWithValue = {
    "-o",      "-maxwarnings",  "-eventdelay",   "-keydelay", "-mousedelay", "-iterations",
    "-median", "-minimumvalue", "-minimumtotal", "-seed",     "-callgrind",  "-perfcounter"};

bool hasTestFunction(const QObject &test, const QByteArray &name)
{
    const QMetaObject *meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (meta->method(i).name() == name)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    TestApplication app(argc, argv);
    std::vector<char *> options{argv[0]};
    std::vector<char *> functions;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            options.push_back(argv[i]);
            if (OptionsWithValue.count(argv[i]) && i + 1 < argc)
                options.push_back(argv[++i]);
        } else {
            functions.push_back(argv[i]);
        }
    }
    int failures = 0;
    for (const testmain::Factory make : testmain::factories()) {
        const std::unique_ptr<QObject> test = make();
        std::vector<char *> arguments = options;
        for (char *function : functions) {
            if (hasTestFunction(*test, QByteArray(function).split(':').first()))
                arguments.push_back(function);
        }
        if (!functions.empty() && arguments.size() == options.size())
            continue;
        failures += QTest::qExec(test.get(), int(arguments.size()), arguments.data());
    }
    return failures == 0 ? 0 : 1;
}

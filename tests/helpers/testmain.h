#pragma once

#include <QObject>

#include <memory>
#include <vector>

namespace testmain {

using Factory = std::unique_ptr<QObject> (*)();

// The test objects of one executable, in the order they run; generated from the TESTS list of
// velkor_add_qtest.
std::vector<Factory> factories();

} // namespace testmain

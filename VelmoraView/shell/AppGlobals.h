// How the main window starts a test: the windows it opens for it.
#pragma once

#include "measurement/TestStore.h"

#include <optional>

class DeviceLink;
class QWidget;
namespace emtask {
class EMTaskData;
}

// Hooks of the start of a test, wired to the windows that run it.
// Shows the identification window for a test; the main window waits.
void OpenIdentification(QWidget& main, QWidget& identification);
// Runs the test window modally over its owner (the start command has been
// sent); the last record it tried to store, none without a result.
std::optional<measurement::StoredTest> RunTestWindow(QWidget* owner, emtask::EMTaskData& store,
                                                     DeviceLink& link);

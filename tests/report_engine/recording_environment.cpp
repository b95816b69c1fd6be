#include "doubles/recording_printer.h"

#include <gtest/gtest.h>

namespace {

// Every printer object made in these tests records instead of printing; the
// default recorder is a 600 dots-per-inch A4 printer.
class RecordingEnvironment : public ::testing::Environment {
public:
    void SetUp() override { RecordingPrinter::install(std::make_shared<PrinterRecording>()); }
    void TearDown() override { PrinterDevice::setFactory({}); }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new RecordingEnvironment);

}  // namespace

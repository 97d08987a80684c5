// The fixture of tests that create DOM documents, which need the COM runtime
// started on the calling thread.
#pragma once

#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/status.h"

namespace dravonix {

/// Runs each test with the COM runtime started, so documents can be created.
/// Fixtures that set up more derive from it and call its SetUp and TearDown.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Succeeded(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace dravonix

// For tests that link the driver statically: run the module's process-attach
// work once (locks, window class) as loading the DLL would.
#pragma once

#include "platform/ddiui.h"
#include "platform/seam.h"

#include <gtest/gtest.h>

class DriverEnvironment : public ::testing::Environment {
public:
    void SetUp() override { DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr); }
    void TearDown() override { DllInitialize(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr); }
};

// Restores the production seam after each test that replaced members.
class SeamTest : public ::testing::Test {
protected:
    void TearDown() override { platform::reset(); }
};

#define MRL_DRIVER_ENVIRONMENT()                                                                   \
    static ::testing::Environment *const mrl_driver_env_ =                                        \
        ::testing::AddGlobalTestEnvironment(new DriverEnvironment)

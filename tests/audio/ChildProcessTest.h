#pragma once
// Runs one test of this program in a child process and judges it by the
// child's own GoogleTest report, not by how the child exits.
//
// Why: Wine's DirectMusic keeps references to the DirectSound device in the
// audio paths it never frees, so a process that started music still has the
// sound card open when it exits, and Wine's process exit then crashes now
// and again. The report is written before that exit, so it still tells.
//
// The child test is named DISABLED_... so that the normal run skips it.

#include <gtest/gtest.h>

#include <string>

::testing::AssertionResult PassesInChildProcess(const std::string& suite, const std::string& test);

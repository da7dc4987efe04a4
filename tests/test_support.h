// Shared fixture: every test starts from a fresh program state and a fresh
// emulated display device, and leaves no surface behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Fresh application state, device emulation, recorded boxes and sounds.
void Reset_Program_State();

// A temporary folder, removed with its contents at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { Reset_Program_State(); }
    void TearDown() override { Reset_Program_State(); }
};

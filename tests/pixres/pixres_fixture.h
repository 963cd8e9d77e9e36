// Loads PIXRES.DLL the way the program does: by file name, from the folder
// the program (here: the test) runs in.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

class PixresTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        module_ = LoadLibraryA("PIXRES.DLL");
    }
    static void TearDownTestSuite()
    {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "LoadLibraryA(\"PIXRES.DLL\") failed: " << GetLastError(); }

    static HMODULE module() { return module_; }

private:
    static inline HMODULE module_ = nullptr;
};

// A fresh, empty folder for each test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class TTempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::UnitTest* unit = ::testing::UnitTest::GetInstance();
        const ::testing::TestInfo* test = unit->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              (std::string(test->test_suite_name()) + "_" + std::to_string(unit->random_seed()) +
               "_" + test->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

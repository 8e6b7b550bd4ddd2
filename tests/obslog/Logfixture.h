// A fresh folder per test and a log database in it.
#pragma once

#include "obslog/Clslogdb.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

class LogFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quenlira-obslog-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/Observing.db";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    static std::string Slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Spit(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string dir, path;
};

#include "mapped_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace sorvane::core {
namespace {

namespace fs = std::filesystem;

class MappedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("sorvane-mapped-" + std::string(::testing::UnitTest::GetInstance()
                                                     ->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir_;
};

TEST_F(MappedFileTest, HoldsTheFilesBytesAfterTheFileIsGone) {
    const std::string bytes = std::string("a\tb\r\n\0c", 7) + std::string(100000, 'x');
    const fs::path path = write("list.tsv", bytes);
    const TextBuffer text = fileText(path);
    fs::remove(path);
    EXPECT_EQ(text.view(), bytes);
}

TEST_F(MappedFileTest, EmptyFileGivesEmptyText) {
    EXPECT_TRUE(fileText(write("empty.tsv", "")).empty());
}

TEST_F(MappedFileTest, MissingFileOrFolderThrowsWithTheReason) {
    EXPECT_THROW(fileText(dir_ / "missing.tsv"), std::system_error);
    EXPECT_THROW(fileText(dir_), std::system_error);
}

}  // namespace
}  // namespace sorvane::core

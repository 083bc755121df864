#include "system/file_io.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tessevar {
namespace {

TEST(WriteFileAtomically, ReplacesTheWholeContentAndLeavesNoTemporary) {
  testing::TempFolder folder;
  const auto file = folder.path() / "Tessevar.cfg";
  testing::writeBytes(file, "a much longer former content-with-many-pieces-");
  ASSERT_TRUE(writeFileAtomically(file, "---"));
  EXPECT_EQ(testing::readBytes(file), "---");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(WriteFileAtomically, FailedReplaceKeepsTheFormerEntryAndCleansUp) {
  testing::TempFolder folder;
  const auto target = folder.path() / "Tessevar.cfg";
  std::filesystem::create_directory(target);  // rename cannot replace a folder
  testing::writeBytes(target / "inside", "kept");
  EXPECT_FALSE(writeFileAtomically(target, "a-b-c-"));
  EXPECT_EQ(testing::readBytes(target / "inside"), "kept");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

}  // namespace
}  // namespace tessevar

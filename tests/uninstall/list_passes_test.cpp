#include "uninstall/list_passes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "uninstall/deletion_walk.h"

namespace {

// The orders installers write lists in, and entries spelled in another case
// than the tree (found by the file system's own rules, not the folder's
// listing as read): the tree goes whole, and folders listed shallowest first
// take one pass more, not one more per level.
TEST(RemoveListedEntries, EveryOrderEmptiesTheTreeInFewPasses) {
    const struct {
        const char* order;
        std::vector<std::string> entries;
        int passes;
    } cases[] = {
        {"files first", {"a\\b\\c\\f1", "a\\b\\f2", "a\\f3", "a\\b\\c", "a\\b", "a"}, 2},
        {"folders first", {"a", "a\\b", "a\\b\\c", "a\\f3", "a\\b\\f2", "a\\b\\c\\f1"}, 3},
        {"another case", {"A\\B\\C\\F1", "A\\b\\F2", "a\\F3", "A\\B\\C", "a\\B", "A"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        ScratchFolder folder("list_passes");
        for (const char* made : {"a", "a\\b", "a\\b\\c"}) {
            ASSERT_TRUE(CreateDirectoryA(folder.PathOf(made).c_str(), nullptr));
        }
        for (const char* made : {"a\\b\\c\\f1", "a\\b\\f2", "a\\f3"}) ASSERT_TRUE(WriteBytes(folder.PathOf(made), "k"));
        std::vector<std::string> paths;
        for (const std::string& entry : c.entries) paths.push_back(folder.PathOf(entry));
        const std::wstring root(folder.Path().begin(), folder.Path().end());
        DeletionWalk walk(root.c_str());

        PassOutcome outcome = RemoveListedEntries(walk, paths, folder.Path().size(), "Uninstall.exe");
        EXPECT_EQ(c.passes, outcome.passes);
        EXPECT_EQ(0, outcome.throughLinks);
        EXPECT_EQ(0, outcome.foldersLeft);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.PathOf("a").c_str()));
    }
}

}  // namespace

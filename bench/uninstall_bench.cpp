// Times "Uninstall.exe /s" as a whole process, from its start until it exits
// (not the removal script it leaves behind), against removal_floor, on an
// installed tree of 10,000 files of 0 to 4096 bytes in 500 folders up to six
// levels deep, every folder holding at least one file. The list names the
// tree in two orders: files first (the files, then the folders deepest
// first) and folders first (the folders shallowest first, then the files).
// The two programs run interleaved, RUNS times each per order, on a tree
// built afresh each time; the medians and their ratio are printed, with the
// number of passes over the list, counted by an in-process run of the same
// passes. Both programs also run on a list naming nothing but the program:
// what each costs beyond that is what its entries cost, and the uninstaller's
// start, the removal of its integration and the hand-over to the removal
// script drop out. ./dev bench runs it with Wine on one CPU.
//
//   uninstall_bench [RUNS [PROGRAM]]   (PROGRAM: another build to time)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "process_timing.h"
#include "support/scratch_folder.h"
#include "uninstall/deletion_walk.h"
#include "uninstall/list_passes.h"
#include "uninstall/removal_list.h"
#include "uninstall/removal_script.h"

namespace {

constexpr int kFolderCount = 500;
constexpr int kFileCount = 10000;
constexpr int kDeepest = 6;
constexpr unsigned kLargestFile = 4096;
const char kProgramName[] = "Uninstall.exe";

// A fixed pseudo-random sequence, so that every run and every order sees
// the same tree.
class Sequence {
public:
    unsigned Next(unsigned bound) {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 8) % bound;
    }

private:
    unsigned state_ = 20240601u;
};

struct Shape {
    std::vector<std::string> folders;  // relative, every parent before its children
    std::vector<int> depths;
    std::vector<std::string> files;  // relative
    std::vector<unsigned> sizes;
};

Shape MakeShape() {
    Shape shape;
    Sequence random;
    for (int i = 0; i < kFolderCount; ++i) {
        // The first folders make one chain as deep as the tree goes; each later
        // one hangs below the top or a random earlier folder with room below it.
        int parent = i < kDeepest ? i - 1 : static_cast<int>(random.Next(static_cast<unsigned>(i) + 1)) - 1;
        while (parent >= 0 && shape.depths[static_cast<std::size_t>(parent)] >= kDeepest) {
            parent = static_cast<int>(random.Next(static_cast<unsigned>(i) + 1)) - 1;
        }
        char name[16];
        std::snprintf(name, sizeof(name), "dir%03d", i);
        std::size_t p = static_cast<std::size_t>(parent);
        shape.folders.push_back(parent < 0 ? name : shape.folders[p] + "\\" + name);
        shape.depths.push_back(parent < 0 ? 1 : shape.depths[p] + 1);
    }
    for (int i = 0; i < kFileCount; ++i) {
        std::size_t folder = i < kFolderCount ? static_cast<std::size_t>(i) : random.Next(kFolderCount);
        char name[20];
        std::snprintf(name, sizeof(name), "\\file%05d.dat", i);
        shape.files.push_back(shape.folders[folder] + name);
        shape.sizes.push_back(random.Next(kLargestFile + 1));
    }
    return shape;
}

// Folder indexes by depth, stable: deepest first or shallowest first.
std::vector<std::size_t> FoldersByDepth(const Shape& shape, bool deepestFirst) {
    std::vector<std::size_t> order(shape.folders.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return deepestFirst ? shape.depths[a] > shape.depths[b] : shape.depths[a] < shape.depths[b];
    });
    return order;
}

std::string UninstallList(const Shape& shape, bool filesFirst) {
    std::string list = std::string(kProgramName) + "\r\n";
    std::string files;
    for (const std::string& file : shape.files) files += file + "\r\n";
    std::string folders;
    for (std::size_t i : FoldersByDepth(shape, filesFirst)) folders += shape.folders[i] + "\r\n";
    return list + (filesFirst ? files + folders : folders + files);
}

std::string FloorList(const Shape& shape, const std::string& root) {
    std::string list;
    for (const std::string& file : shape.files) list += root + file + "\n";
    list += "\n";
    for (std::size_t i : FoldersByDepth(shape, true)) list += root + shape.folders[i] + "\n";
    return list;
}

// The installed tree in `root` (ending in a backslash), with a copy of the
// program and its list.
bool BuildTree(const Shape& shape, const std::string& root, const std::string& program, bool filesFirst) {
    if (!CreateDirectoryA(root.c_str(), nullptr)) return false;
    for (const std::string& folder : shape.folders) {
        if (!CreateDirectoryA((root + folder).c_str(), nullptr)) return false;
    }
    const std::string content(kLargestFile, 'k');
    for (std::size_t i = 0; i < shape.files.size(); ++i) {
        if (!WriteBytes(root + shape.files[i], content.substr(0, shape.sizes[i]))) return false;
    }
    return CopyFileA(program.c_str(), (root + kProgramName).c_str(), FALSE) &&
           WriteBytes(root + kListName, UninstallList(shape, filesFirst));
}

struct Paths {
    std::string root;  // the program folder, with a trailing backslash
    std::string program;
    std::string floor;
    std::string floorList;
    std::string script;
};

Paths BenchPaths(const char* program) {
    const std::string temp = TempFolder();
    char self[kPathSize];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    *PointToName(self) = '\0';
    Paths paths;
    paths.root = temp + "kelvon_bench\\";
    paths.program = program ? program : std::string(self) + "..\\" + kProgramName;
    paths.floor = std::string(self) + "removal_floor.exe";
    paths.floorList = temp + "kelvon_bench_floor.lst";
    paths.script = temp + kRemovalScriptName;
    return paths;
}

// The passes the uninstaller makes over this list, counted in this process.
int CountPasses(const Shape& shape, const Paths& paths, bool filesFirst, double& seconds) {
    RemoveFolder(paths.root);
    if (!BuildTree(shape, paths.root, paths.program, filesFirst)) return -1;
    RemovalList list = ReadRemovalList(ReadBytes(paths.root + kListName), paths.root.c_str());
    wchar_t root[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, paths.root.c_str(), -1, root, MAX_PATH)) return -1;
    double start = Seconds();
    DeletionWalk walk(root);
    PassOutcome outcome = RemoveListedEntries(walk, list.paths, paths.root.size(), kProgramName);
    seconds = Seconds() - start;
    RemoveFolder(paths.root);
    return outcome.passes;
}

struct OrderResult {
    const char* name;
    int passes;
    double inProcess;
    std::vector<double> floor;
    std::vector<double> uninstall;
};

bool RunOrder(const Shape& shape, const Paths& paths, bool filesFirst, int runs, OrderResult& result) {
    result.passes = CountPasses(shape, paths, filesFirst, result.inProcess);
    if (result.passes < 0) return false;
    for (int run = 0; run < runs; ++run) {
        RemoveFolder(paths.root);
        if (!BuildTree(shape, paths.root, paths.program, filesFirst) ||
            !WriteBytes(paths.floorList, FloorList(shape, paths.root))) {
            return false;
        }
        result.floor.push_back(TimeProcess(paths.floor, "\"" + paths.floorList + "\""));
        RemoveFolder(paths.root);

        if (!BuildTree(shape, paths.root, paths.program, filesFirst)) return false;
        result.uninstall.push_back(TimeProcess(paths.root + kProgramName, "/s"));
        bool removed = WaitForRemovalScript(paths.root, paths.script);
        std::printf("  %-13s run %d: floor %.3f s, uninstall %.3f s%s\n", result.name, run + 1, result.floor.back(),
                    result.uninstall.back(), removed ? "" : "  (tree left behind)");
        std::fflush(stdout);
        if (!removed || result.floor.back() < 0 || result.uninstall.back() < 0) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = PrepareRuns(argc, argv);
    const Paths paths = BenchPaths(argc > 2 ? argv[2] : nullptr);
    const Shape shape = MakeShape();
    OrderResult results[] = {
        {"files first", 0, 0, {}, {}}, {"folders first", 0, 0, {}, {}}, {"no entries", 0, 0, {}, {}}};
    std::printf("%d files in %d folders, %d runs of each program per order\n", kFileCount, kFolderCount, runs);
    int status = 0;
    for (OrderResult& result : results) {
        const bool empty = &result == &results[2];
        if (!RunOrder(empty ? Shape() : shape, paths, &result == &results[0], runs, result)) {
            std::printf("%s: a run failed\n", result.name);
            status = 1;
        }
    }
    RemoveFolder(paths.root);
    DeleteFileA(paths.floorList.c_str());
    std::printf("\n%-13s %7s %14s %14s %16s %7s %10s\n", "order", "passes", "in-process s", "floor median s",
                "uninstall median", "ratio", "per entry");
    const OrderResult& none = results[2];
    for (const OrderResult& result : results) {
        if (result.uninstall.empty()) continue;
        double floor = Median(result.floor);
        double uninstall = Median(result.uninstall);
        std::printf("%-13s %7d %14.3f %14.3f %14.3f s %7.2f", result.name, result.passes, result.inProcess, floor,
                    uninstall, uninstall / floor);
        if (&result != &none && !none.uninstall.empty()) {
            std::printf(" %10.2f", (uninstall - Median(none.uninstall)) / (floor - Median(none.floor)));
        }
        std::printf("\n");
    }
    return status;
}

#pragma once

#include <string>

// A folder of its own under the temp folder for the files one test writes;
// emptied when made and removed with everything in it on destruction, so a
// test that failed half-way leaves nothing behind for the next run.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    // The folder's path with a trailing backslash.
    const std::string& Path() const { return path_; }
    // The path of a file in the folder.
    std::string PathOf(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Creates or replaces a file with exactly these bytes.
bool WriteBytes(const std::string& path, const std::string& bytes);

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// The bytes of a file that another process puts in place (by renaming it
// there once whole), waiting up to `milliseconds` for it to appear.
std::string ReadBytesOnceThere(const std::string& path, unsigned long milliseconds);

// Deletes a folder with everything in it, read-only files too.
void RemoveFolder(const std::string& folder);

#pragma once

// What the benchmarks that time the real program share.

#include <string>
#include <vector>

double Seconds();

// Seconds from the start of the process until it exited; negative when it
// could not start or failed. The program gets no console, so a removal
// script it starts prints nowhere.
double TimeProcess(const std::string& program, const std::string& arguments);

double Median(std::vector<double> values);

// The temp folder, with a trailing backslash.
std::string TempFolder();

// Waits until the folder is gone, as the removal script leaves it last.
bool WaitForFolderGone(const std::string& folder);

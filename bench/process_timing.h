#pragma once

// What the benchmarks that time the real program share.

#include <string>
#include <vector>

double Seconds();

// The runs the first argument asks for: 5 when it is missing, at least 1.
// The programs a benchmark starts then inherit the temp folder as their
// current directory, which is on a drive and outlives the program folder.
int PrepareRuns(int argc, char** argv);

// Seconds from the start of the process until it exited; negative when it
// could not start or failed. The program gets no console, so a removal
// script it starts prints nowhere.
double TimeProcess(const std::string& program, const std::string& arguments);

double Median(std::vector<double> values);

// The temp folder, with a trailing backslash.
std::string TempFolder();

// The removal script deletes the program folder last and then itself.
bool WaitForRemovalScript(const std::string& root, const std::string& script);

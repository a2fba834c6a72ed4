#pragma once
// A fresh, empty working folder for one test: the current directory while
// the object lives (the engine reads and writes relative paths), removed
// with everything in it afterwards.

#include <string>

class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path; }
    // `relative` inside the folder.
    std::string File(const std::string& relative) const;

private:
    std::string path;
    std::string previous;
};

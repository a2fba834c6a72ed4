#pragma once
// Answers the first message box with a given caption that appears while
// this object lives, from a thread of its own, the way a person would click
// a button; records the box's text. So start-up prompts never hang a test.

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class DialogAnswerer
{
public:
    // `button`: IDOK, IDYES, IDNO...
    DialogAnswerer(const char* caption, int button);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    bool Answered() const { return answered; }
    // The box's message text (empty when no box appeared).
    std::string Text() const;

private:
    void Watch();

    std::string caption;
    int button;
    std::atomic<bool> stop{false};
    std::atomic<bool> answered{false};
    std::string text;
    std::thread watcher;
};

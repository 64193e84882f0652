// Answers, from a second thread, the message boxes captioned "Message" that this process shows, as a
// user would: each box's text is kept and its OK button pressed. For in-process tests of operations
// that may show a box.
#ifndef VELTMOOR_TEST_MESSAGE_BOX_WATCH_H
#define VELTMOOR_TEST_MESSAGE_BOX_WATCH_H

#include <windows.h>

#include <string>

struct MessageBoxWatch {
    // Watches until Finish, or until `timeoutMs` has passed.
    void Start(DWORD timeoutMs = 15000);
    // Stops watching and returns the last box's text (empty when no box appeared).
    std::string Finish();
    ~MessageBoxWatch() { Finish(); }

    int boxes = 0;     // how many boxes were answered
    std::string text;  // the last one's text
    HANDLE thread = nullptr;
    HANDLE stop = nullptr;
    DWORD timeoutMs = 0;
};

#endif

#pragma once

#include <string>

// The core never shows anything itself. A step that has something to tell the user hands the
// text and the title to the sink its caller gave it: the window shows a modal message box with
// one OK button, the command line prints "TITLE: TEXT", a test records the pair.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
};

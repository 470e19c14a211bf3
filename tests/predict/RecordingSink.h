#pragma once

#include "engine/MessageSink.h"

#include <string>
#include <utility>
#include <vector>

// Keeps every (text, title) pair the core hands over, in order.
class RecordingSink : public MessageSink {
public:
    void showMessage(const std::string& text, const std::string& title) override {
        messages.emplace_back(text, title);
    }
    std::vector<std::pair<std::string, std::string>> messages;
};

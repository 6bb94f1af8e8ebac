#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace orva {

namespace {

std::mutex g_handlerMutex;

MessageHandler& Handler() {
    static MessageHandler handler = [](const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
    };
    return handler;
}

CaptionedMessageHandler& CaptionedHandler() {
    static CaptionedMessageHandler handler;
    return handler;
}

}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    return std::exchange(Handler(), std::move(handler));
}

void ShowMessage(const std::string& text) {
    MessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = Handler();
    }
    if (handler) {
        handler(text);
    }
}

CaptionedMessageHandler SetCaptionedMessageHandler(CaptionedMessageHandler handler) {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    return std::exchange(CaptionedHandler(), std::move(handler));
}

void ShowMessage(const std::string& text, const std::string& caption) {
    CaptionedMessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = CaptionedHandler();
    }
    if (handler) {
        handler(text, caption);
    } else {
        ShowMessage(text);
    }
}

}  // namespace orva

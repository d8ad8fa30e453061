// The engine's messages and questions, recorded from whichever thread shows them and answered Yes / OK.
#pragma once

#include "engine/recovery/core/engine_ui.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class EngineMessageRecorder final : public MessageUi
{
public:
    int ShowMessage(std::uint32_t, const char16_t* text) override { return Record(text); }
    int AskQuestion(std::uint32_t, const char16_t* text) override { return Record(text); }
    int HtmlMessageBox(const char16_t* text, const char16_t*, std::uint32_t) override { return Record(text); }
    void PlainMessageBox(const char16_t* text) override { Record(text); }

    std::vector<std::u16string> Texts()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }
    // The texts so far, forgotten here.
    std::vector<std::u16string> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_texts, {});
    }

private:
    int Record(const char16_t* text)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.emplace_back(text);
        return 1;
    }
    std::mutex m_mutex;
    std::vector<std::u16string> m_texts;
};

#pragma once
#include "errors/Msg.h"

#include <deque>
#include <string>
#include <vector>

// Answers message boxes from a list and keeps what was shown.
class CRecordingMsg : public qvn::CMsg {
public:
    struct Shown {
        std::string text;
        unsigned type;
    };

    explicit CRecordingMsg(std::deque<int> answers = {}) : m_answers(std::move(answers)) {}

    int ShowText(const std::string& text, unsigned type) override
    {
        shown.push_back({text, type});
        if (m_answers.empty())
            return IDOK;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<Shown> shown;

private:
    std::deque<int> m_answers;
};

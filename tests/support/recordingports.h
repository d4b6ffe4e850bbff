#pragma once

#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"

#include <deque>
#include <string>
#include <vector>

namespace tarvo::test {

struct ShownMessage {
    std::string text;
    MsgIcon icon;
    bool operator==(const ShownMessage&) const = default;
};

// Records every message and question; questions take their answers from the
// queues filled by the test (Yes/No default to No, the overwrite question to
// No when the queue is empty).
class RecordingMessages final : public IMessagePort {
public:
    void ShowMessage(const std::string& text, MsgIcon icon) override {
        shown.push_back({text, icon});
    }
    bool AskYesNo(const std::string& text, MsgIcon icon) override {
        shown.push_back({text, icon});
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    OverwriteAnswer AskOverwrite(const std::string& text) override {
        shown.push_back({text, MsgIcon::Question});
        if (overwriteAnswers.empty())
            return OverwriteAnswer::No;
        const OverwriteAnswer answer = overwriteAnswers.front();
        overwriteAnswers.pop_front();
        return answer;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& m : shown)
            texts.push_back(m.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
    std::deque<bool> yesNoAnswers;
    std::deque<OverwriteAnswer> overwriteAnswers;
};

// Records every progress call; CheckCancel answers true on the calls whose
// numbers (1-based) are in cancelOnCheck.
class RecordingProgress final : public IProgressPort {
public:
    void SetRange(int lower, int upper) override {
        rangeLower = lower;
        rangeUpper = upper;
    }
    void SetStatus(const std::string& text) override {
        statuses.push_back(text);
        secondary.clear();
    }
    void SetSecondaryStatus(const std::string& text) override {
        secondaries.push_back(text);
        secondary = text;
    }
    void SetPos(int pos) override { positions.push_back(pos); }
    bool CheckCancel() override {
        ++checks;
        for (int n : cancelOnCheck) {
            if (n == checks)
                return true;
        }
        return false;
    }

    int rangeLower = 0;
    int rangeUpper = 100;
    std::vector<std::string> statuses;
    std::vector<std::string> secondaries;
    std::string secondary;
    std::vector<int> positions;
    int checks = 0;
    std::vector<int> cancelOnCheck;
};

class RecordingNotifier final : public IViewNotifier {
public:
    void NotifyAllViews(ViewNotification what) override { sent.push_back(what); }
    std::vector<ViewNotification> sent;
};

} // namespace tarvo::test

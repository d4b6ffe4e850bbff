#pragma once

#include <string>

namespace tarvo {

// The icon a message is shown with; the front end maps it to its own.
enum class MsgIcon { None, Information, Exclamation, Error, Question };

// The four answers of the existing-record question of the imports.
enum class OverwriteAnswer { Yes, No, YesToAll, NoToAll };

// How the core tells the user something and asks simple questions. The Qt
// program shows message boxes, tarvo-cli prints to stderr and answers from its
// options, tests record every call.
class IMessagePort {
public:
    virtual ~IMessagePort() = default;

    virtual void ShowMessage(const std::string& text, MsgIcon icon) = 0;
    // Yes/No question; true means Yes.
    virtual bool AskYesNo(const std::string& text, MsgIcon icon = MsgIcon::Question) = 0;
    // The same question before what cannot be undone: a window makes No the
    // button that Enter presses. Elsewhere it is the plain question.
    virtual bool AskYesNoDefaultNo(const std::string& text) {
        return AskYesNo(text, MsgIcon::Question);
    }
    // The four-button question "&Ano", "&Ne", "Ano &všem", "Ne vše&m".
    virtual OverwriteAnswer AskOverwrite(const std::string& text) = 0;
};

} // namespace tarvo

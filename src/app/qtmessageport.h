#pragma once

#include "core/ports/messageport.h"

namespace tarvo {

// Message boxes titled "Tarvo" with Czech buttons, over the active window.
class QtMessagePort final : public IMessagePort {
public:
    void ShowMessage(const std::string& text, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, MsgIcon icon) override;
    bool AskYesNoDefaultNo(const std::string& text) override;
    OverwriteAnswer AskOverwrite(const std::string& text) override;
};

} // namespace tarvo

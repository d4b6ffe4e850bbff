#include "core/registers/outcome.h"

#include "core/ports/messageport.h"

namespace tarvo {

void ShowRecordGone(IMessagePort& messages) {
    messages.ShowMessage("Záznam byl odstraněn jinou aplikací!", MsgIcon::Information);
}

} // namespace tarvo

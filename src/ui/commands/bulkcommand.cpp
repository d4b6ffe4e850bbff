#include "ui/commands/bulkcommand.h"

#include "core/engine/bulkresolution.h"
#include "support/cprogresswnd.h"
#include "ui/framework/guicontext.h"

#include <memory>

namespace tarvo {

namespace {

// The run asks its question before it reports any progress; the window
// appears only once the user has said Yes.
class ProgressAfterQuestion final : public IProgressPort {
public:
    explicit ProgressAfterQuestion(QWidget* parent) : m_parent(parent) {}

    void SetRange(int lower, int upper) override { Window().SetRange(lower, upper); }
    void SetStatus(const std::string& text) override { Window().SetStatus(text); }
    void SetSecondaryStatus(const std::string& text) override { Window().SetSecondaryStatus(text); }
    void SetPos(int pos) override { Window().SetPos(pos); }
    bool CheckCancel() override { return Window().CheckCancel(); }

private:
    CProgressWnd& Window() {
        if (!m_window) {
            m_window = std::make_unique<CProgressWnd>(QString::fromUtf8(BulkProgressCaption), true);
            m_window->Create(m_parent);
        }
        return *m_window;
    }

    QWidget* m_parent;
    std::unique_ptr<CProgressWnd> m_window;
};

} // namespace

void RunBulkCommand(const GuiContext& context, QWidget* parent) {
    ProgressAfterQuestion progress(parent);
    ResolveAllMoveCovers(context.store, progress, context.notifier);
}

} // namespace tarvo

#pragma once

#include <string>

namespace tarvo {

// A long operation reports through this. The Qt front end shows the progress
// window (and keeps the window system alive while it is called), tarvo-cli
// draws a line on the terminal.
class IProgressPort {
public:
    virtual ~IProgressPort() = default;

    virtual void SetRange(int lower, int upper) = 0;
    // Main status line; clears the secondary line.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetSecondaryStatus(const std::string& text) = 0;
    virtual void SetPos(int pos) = 0;
    // True once for every cancel request of the user; reading clears it.
    virtual bool CheckCancel() = 0;
};

// For callers that have nobody to show progress to.
class NullProgress final : public IProgressPort {
public:
    void SetRange(int, int) override {}
    void SetStatus(const std::string&) override {}
    void SetSecondaryStatus(const std::string&) override {}
    void SetPos(int) override {}
    bool CheckCancel() override { return false; }
};

} // namespace tarvo

#pragma once

#include "core/data/platform.h"
#include "core/ports/messageport.h"
#include "core/ports/progressport.h"

#include <chrono>
#include <iosfwd>
#include <string>

namespace tarvo::cli {

// Messages go to stderr. Questions are answered from the command's options
// (assumeYes) or, when interactive, read from standard input.
class CliMessagePort final : public IMessagePort {
public:
    CliMessagePort(std::istream& in, std::ostream& err) : m_in(in), m_err(err) {}

    // Every Yes/No question answers Yes without asking (--yes).
    void SetAssumeYes(bool yes) { m_assumeYes = yes; }
    // Questions are read from standard input (a/n, and v/m for the
    // overwrite question); otherwise they answer No.
    void SetInteractive(bool interactive) { m_interactive = interactive; }

    void ShowMessage(const std::string& text, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, MsgIcon icon) override;
    OverwriteAnswer AskOverwrite(const std::string& text) override;

    // True when an error or exclamation message was shown.
    bool SawError() const { return m_sawError; }

private:
    char ReadAnswer(const std::string& choices);

    std::istream& m_in;
    std::ostream& m_err;
    bool m_assumeYes = false;
    bool m_interactive = false;
    bool m_sawError = false;
};

// Passes everything to another port except information messages, which go
// to standard output: the summary of an operation is the command's result.
class InformationToOutput final : public IMessagePort {
public:
    InformationToOutput(IMessagePort& messages, std::ostream& out)
        : m_messages(messages), m_out(out) {}

    void ShowMessage(const std::string& text, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, MsgIcon icon) override {
        return m_messages.AskYesNo(text, icon);
    }
    OverwriteAnswer AskOverwrite(const std::string& text) override {
        return m_messages.AskOverwrite(text);
    }

private:
    IMessagePort& m_messages;
    std::ostream& m_out;
};

// One progress line on stderr, redrawn at most a few times a second. When
// stderr is not a terminal (a log, a pipe) nothing is redrawn: each phase
// writes one plain line with the state it ended in, so a log gets no carriage
// returns or escape codes.
class TerminalProgress final : public IProgressPort {
public:
    explicit TerminalProgress(std::ostream& err)
        : m_err(err), m_terminal(platform::StderrIsTerminal()) {}
    ~TerminalProgress() override;

    void SetRange(int lower, int upper) override;
    void SetStatus(const std::string& text) override;
    void SetSecondaryStatus(const std::string& text) override;
    void SetPos(int pos) override;
    bool CheckCancel() override { return false; }

private:
    std::string Line() const;
    void EndPhase();
    void Draw(bool force);

    std::ostream& m_err;
    bool m_terminal;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    std::string m_status;
    std::string m_secondary;
    bool m_started = false;
    std::chrono::steady_clock::time_point m_last{};
};

} // namespace tarvo::cli
